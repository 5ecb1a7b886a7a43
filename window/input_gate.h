#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace heatplate {

// Keeps the user's clicks and keys away from the window while a run holds
// its thread. The run still lets the window repaint, and repainting means
// processing events; the gate takes the user's input out of that stream,
// keeps it, and hands it back in its order once the run is over, so that
// input made during a run is handled after it. Escape is noted instead of
// kept: it is how the user ends a long run early.
class InputGate final : public QObject {
  public:
    struct HeldEvent {
        QPointer<QObject> receiver;
        QEvent::Type type;
        std::function<std::unique_ptr<QEvent>()> remake;
    };

    InputGate() = default;
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    // Starts holding the application's input back and forgets an earlier Escape.
    void shut();
    // Stops holding input back; what was held stays until taken.
    void open();

    bool escape_pressed() const { return escape_pressed_; }
    bool holds_input() const { return !held_.empty(); }
    // The held input, oldest first.
    std::vector<HeldEvent> take_held();

    // Hands a held event to its receiver as the window system would have:
    // a mouse press also moves the focus the way a click does.
    static void deliver(const HeldEvent& held);

    // Lets input through while it lives, for a message box a run shows.
    class Pass {
      public:
        explicit Pass(InputGate& gate) : gate_(gate) { ++gate_.passes_; }
        ~Pass() { --gate_.passes_; }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

      private:
        InputGate& gate_;
    };

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool shut_ = false;
    int passes_ = 0;
    bool escape_pressed_ = false;
    std::vector<HeldEvent> held_;
};

}  // namespace heatplate
