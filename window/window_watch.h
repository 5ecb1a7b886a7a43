#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

class QWidget;

namespace heatplate {

// Tells when another program destroys a window behind the toolkit's back,
// as an X11 DestroyWindow request does (`xdotool windowclose` sends one).
// Qt itself only sees the window unmapped and goes on drawing into a window
// that is gone, so without this the program would run on with none.
class WindowLossWatch final : public QAbstractNativeEventFilter {
  public:
    // lost is called, from the event that tells, once window is gone.
    WindowLossWatch(const QWidget& window, std::function<void()> lost);
    ~WindowLossWatch() override;
    WindowLossWatch(const WindowLossWatch&) = delete;
    WindowLossWatch& operator=(const WindowLossWatch&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  private:
    const QWidget& window_;
    std::function<void()> lost_;
};

}  // namespace heatplate
