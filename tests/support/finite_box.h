#pragma once

#include <cmath>

#include "platform/drawing_box.h"

namespace heatplate::testing {

// Counts the calls that hand the drawing layer a non-finite coordinate.
class FiniteCheckBox final : public DrawingBox {
  public:
    void scale(float x1, float y1, float x2, float y2) override { check({x1, y1, x2, y2}); }
    void cls() override {}
    void line(float x1, float y1, float x2, float y2, Colour) override { check({x1, y1, x2, y2}); }
    void fill_rect(float x1, float y1, float x2, float y2, Colour) override {
        check({x1, y1, x2, y2});
    }
    void pset(float x, float y) override { check({x, y}); }
    void line_to(float x, float y, Colour) override { check({x, y}); }

    int non_finite_calls = 0;

  private:
    void check(std::initializer_list<float> values) {
        for (float v : values) {
            if (!std::isfinite(v)) {
                ++non_finite_calls;
                return;
            }
        }
    }
};

}  // namespace heatplate::testing
