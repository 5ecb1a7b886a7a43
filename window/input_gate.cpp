#include "window/input_gate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace heatplate {
namespace {

bool is_user_input(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::NativeGesture:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// How to make the event again later, from what it says now. Pointer events
// are made anew just before delivery: while one exists, the toolkit moves
// its points along with every pointer event made after it.
std::function<std::unique_ptr<QEvent>()> remaker(const QEvent& event) {
    switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            const auto& m = static_cast<const QMouseEvent&>(event);
            return [type = m.type(), pos = m.position(), scene = m.scenePosition(),
                    global = m.globalPosition(), button = m.button(), buttons = m.buttons(),
                    modifiers = m.modifiers(), device = QPointer(m.pointingDevice()),
                    time = m.timestamp()]() -> std::unique_ptr<QEvent> {
                auto e = std::make_unique<QMouseEvent>(
                    type, pos, scene, global, button, buttons, modifiers,
                    device ? device.get() : QPointingDevice::primaryPointingDevice());
                e->setTimestamp(time);
                return e;
            };
        }
        case QEvent::Wheel: {
            const auto& w = static_cast<const QWheelEvent&>(event);
            return [pos = w.position(), global = w.globalPosition(), pixels = w.pixelDelta(),
                    angle = w.angleDelta(), buttons = w.buttons(), modifiers = w.modifiers(),
                    phase = w.phase(), inverted = w.inverted(), source = w.source(),
                    device = QPointer(w.pointingDevice()),
                    time = w.timestamp()]() -> std::unique_ptr<QEvent> {
                auto e = std::make_unique<QWheelEvent>(
                    pos, global, pixels, angle, buttons, modifiers, phase, inverted, source,
                    device ? device.get() : QPointingDevice::primaryPointingDevice());
                e->setTimestamp(time);
                return e;
            };
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
        case QEvent::InputMethod: {
            std::shared_ptr<const QEvent> copy(event.clone());
            return [copy] { return std::unique_ptr<QEvent>(copy->clone()); };
        }
        default:
            // Touch, tablet and gesture points cannot be taken apart from
            // the device's state, and a drag cannot wait for its drop: such
            // input made during a run is dropped.
            return {};
    }
}

// The widget a mouse event for this receiver lands on, and the position in it.
QWidget* widget_under(QObject* receiver, QPoint& pos) {
    if (auto* widget = qobject_cast<QWidget*>(receiver)) {
        return widget;
    }
    auto* window = qobject_cast<QWindow*>(receiver);
    if (window == nullptr) {
        return nullptr;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window) {
            QWidget* child = top->childAt(pos);
            if (child == nullptr) {
                return top;
            }
            pos = child->mapFrom(top, pos);
            return child;
        }
    }
    return nullptr;
}

// What a click does to the focus before the press reaches the widget; the
// toolkit does it only for events straight from the window system.
void focus_as_clicked(QObject* receiver, const QMouseEvent& press) {
    QPoint pos = press.position().toPoint();
    for (QWidget* w = widget_under(receiver, pos); w != nullptr; w = w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (w->isWindow()) {
            return;
        }
    }
}

}  // namespace

InputGate::~InputGate() {
    open();
}

void InputGate::shut() {
    escape_pressed_ = false;
    if (!shut_) {
        qApp->installEventFilter(this);
        shut_ = true;
    }
}

void InputGate::open() {
    if (shut_) {
        qApp->removeEventFilter(this);
        shut_ = false;
    }
}

std::vector<InputGate::HeldEvent> InputGate::take_held() {
    return std::exchange(held_, {});
}

void InputGate::deliver(const HeldEvent& held) {
    if (held.receiver.isNull()) {
        return;
    }
    const std::unique_ptr<QEvent> event = held.remake();
    if (event->type() == QEvent::MouseButtonPress) {
        focus_as_clicked(held.receiver, static_cast<const QMouseEvent&>(*event));
    }
    QCoreApplication::sendEvent(held.receiver, event.get());
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    if (passes_ > 0 || !is_user_input(event->type())) {
        return false;
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress) {
                escape_pressed_ = true;
            }
            return true;
        }
    }
    // The window system hands input first to the window, which passes it on
    // to the widget; holding it at the first receiver keeps one copy.
    auto remake = remaker(*event);
    if (!remake) {
        return true;
    }
    // Of a run of moves only the last position matters.
    if (event->type() == QEvent::MouseMove && !held_.empty() &&
        held_.back().type == QEvent::MouseMove && held_.back().receiver == watched) {
        held_.back().remake = std::move(remake);
        return true;
    }
    held_.push_back({watched, event->type(), std::move(remake)});
    return true;
}

}  // namespace heatplate
