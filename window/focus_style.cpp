#include "window/focus_style.h"

#include <QPainter>
#include <QStyleOption>

namespace heatplate {
namespace {

// Draws with the option of a focused button marked as if the focus had come
// by keyboard, which is when the styles show it.
template <typename Draw>
void as_keyboard_focus(const QStyleOption* option, Draw draw) {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (button != nullptr && (button->state & QStyle::State_HasFocus) != 0) {
        QStyleOptionButton marked(*button);
        marked.state |= QStyle::State_KeyboardFocusChange;
        draw(&marked);
        return;
    }
    draw(option);
}

}  // namespace

void FocusStyle::draw_focus_frame(const QStyleOption& option, QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(option.palette.color(QPalette::Highlight), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect && option != nullptr && painter != nullptr) {
        draw_focus_frame(*option, *painter);
        return;
    }
    as_keyboard_focus(option, [&](const QStyleOption* o) {
        QProxyStyle::drawPrimitive(element, o, painter, widget);
    });
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    as_keyboard_focus(option, [&](const QStyleOption* o) {
        QProxyStyle::drawControl(element, o, painter, widget);
    });
}

void FocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && option != nullptr && painter != nullptr &&
        (option->state & State_HasFocus) != 0) {
        draw_focus_frame(*option, *painter);
    }
}

}  // namespace heatplate
