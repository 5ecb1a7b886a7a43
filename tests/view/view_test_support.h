#pragma once

#include <QColor>
#include <QImage>

#include "platform/drawing_box.h"

namespace heatplate::testing {

// Passes every call on to another box. Drawing through it takes the path
// any drawing box gets, not the one a known box type may be given.
class ForwardingBox final : public DrawingBox {
  public:
    explicit ForwardingBox(DrawingBox& target) : target_(target) {}
    void scale(float x1, float y1, float x2, float y2) override { target_.scale(x1, y1, x2, y2); }
    void cls() override { target_.cls(); }
    void line(float x1, float y1, float x2, float y2, Colour c) override {
        target_.line(x1, y1, x2, y2, c);
    }
    void fill_rect(float x1, float y1, float x2, float y2, Colour c) override {
        target_.fill_rect(x1, y1, x2, y2, c);
    }
    void pset(float x, float y) override { target_.pset(x, y); }
    void line_to(float x, float y, Colour c) override { target_.line_to(x, y, c); }

  private:
    DrawingBox& target_;
};

// The colour value (red + 256 green + 65536 blue) a pixel shows.
inline Colour colour_at(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

inline int count_pixels(const QImage& image, Colour colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += colour_at(image, x, y) == colour;
        }
    }
    return n;
}

}  // namespace heatplate::testing
