#include "window/classic_scroll_bar.h"

#include <QKeyEvent>

#include <optional>

namespace heatplate {
namespace {

std::optional<QAbstractSlider::SliderAction> classic_action(int key) {
    switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            return QAbstractSlider::SliderSingleStepAdd;
        case Qt::Key_Left:
        case Qt::Key_Up:
            return QAbstractSlider::SliderSingleStepSub;
        case Qt::Key_PageDown:
            return QAbstractSlider::SliderPageStepAdd;
        case Qt::Key_PageUp:
            return QAbstractSlider::SliderPageStepSub;
        case Qt::Key_Home:
            return QAbstractSlider::SliderToMinimum;
        case Qt::Key_End:
            return QAbstractSlider::SliderToMaximum;
        default:
            return std::nullopt;
    }
}

}  // namespace

ClassicScrollBar::ClassicScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

void ClassicScrollBar::keyPressEvent(QKeyEvent* event) {
    const auto action = classic_action(event->key());
    if (!action) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    // As a click on an arrow or the trough would: the value changes at once,
    // whether or not the bar tracks a dragged thumb.
    triggerAction(*action);
    event->accept();
}

}  // namespace heatplate
