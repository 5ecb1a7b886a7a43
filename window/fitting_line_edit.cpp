#include "window/fitting_line_edit.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace heatplate {

FittingLineEdit::FittingLineEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    // The frame leaves little room in a box a few digits wide: the text may
    // come one pixel closer to it on either side.
    setTextMargins(-1, 0, -1, 0);
    connect(this, &QLineEdit::textChanged, this, [this] { fit(); });
}

void FittingLineEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        fit();
    }
}

int FittingLineEdit::room() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.marginsRemoved(textMargins()).width() - 2 * kInnerMargin;
}

bool FittingLineEdit::fits(int stretch, int room) const {
    QFont f = font();
    f.setStretch(stretch);
    // One pixel more for the cursor after the last character.
    return QFontMetrics(f).horizontalAdvance(text()) + 1 <= room;
}

void FittingLineEdit::fit() {
    const int space = room();
    int stretch = 100;
    QFont f = font();
    f.setStretch(100);
    const int wide = QFontMetrics(f).horizontalAdvance(text()) + 1;
    if (wide > space) {
        // Widths shrink nearly in proportion; start there and step down to be sure.
        stretch = std::clamp(100 * space / std::max(wide, 1), kNarrowest, 99);
        while (stretch > kNarrowest && !fits(stretch, space)) {
            --stretch;
        }
    }
    if (stretch == stretch_) {
        return;
    }
    stretch_ = stretch;
    // Only the width is the box's own; face and size follow the window's.
    QFont own;
    if (stretch != 100) {
        own.setStretch(stretch);
    }
    setFont(own);
}

}  // namespace heatplate
