#pragma once

#include <QScrollBar>

namespace heatplate {

// A horizontal scroll bar whose keys move it the way a classic desktop's
// did: Right and Down raise the value by a single step, Left and Up lower it,
// PageDown and PageUp move a page, Home and End go to the ends. Qt's own
// horizontal scroll bar turns Left and Right the other way round.
class ClassicScrollBar final : public QScrollBar {
  public:
    explicit ClassicScrollBar(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace heatplate
