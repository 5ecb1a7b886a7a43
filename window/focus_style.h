#pragma once

#include <QProxyStyle>

namespace heatplate {

// The application's style, with the keyboard focus always in sight: a solid
// frame in the highlight colour around the focused control's caption or
// face, shown however the focus arrived (the toolkit's styles show it only
// once a key has moved it), and around a focused scroll bar, which the
// styles leave unmarked. Sizes and everything else are the style's own.
class FocusStyle final : public QProxyStyle {
  public:
    FocusStyle() = default;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

  private:
    static void draw_focus_frame(const QStyleOption& option, QPainter& painter);
};

}  // namespace heatplate
