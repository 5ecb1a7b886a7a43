#include "window/window_watch.h"

#include <QCoreApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <utility>

namespace heatplate {

WindowLossWatch::WindowLossWatch(const QWidget& window, std::function<void()> lost)
    : window_(window), lost_(std::move(lost)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowLossWatch::~WindowLossWatch() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool WindowLossWatch::nativeEventFilter(const QByteArray& type, void* message,
                                        qintptr* /*result*/) {
    if (type != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // Only the server's own word counts: an event another client sent (the
    // top bit set) proves nothing.
    if (event->response_type != XCB_DESTROY_NOTIFY) {
        return false;
    }
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (window_.testAttribute(Qt::WA_WState_Created) &&
        destroyed->window == static_cast<xcb_window_t>(window_.internalWinId())) {
        lost_();
    }
    // Qt may want to see it as well.
    return false;
}

}  // namespace heatplate
