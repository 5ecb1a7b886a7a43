#pragma once

#include <string>
#include <vector>

#include "raster/drawing_box.h"

namespace heatplate::testing {

// Remembers every drawing call, for tests of what is drawn in which order.
class RecordingBox final : public DrawingBox {
  public:
    struct Call {
        std::string op;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        Colour colour = 0;
    };

    void scale(float x1, float y1, float x2, float y2) override {
        calls.push_back({"scale", x1, y1, x2, y2});
    }
    void cls() override { calls.push_back({"cls"}); }
    void line(float x1, float y1, float x2, float y2, Colour c) override {
        calls.push_back({"line", x1, y1, x2, y2, c});
    }
    void fill_rect(float x1, float y1, float x2, float y2, Colour c) override {
        calls.push_back({"fill_rect", x1, y1, x2, y2, c});
    }
    void pset(float x, float y) override { calls.push_back({"pset", x, y}); }
    void line_to(float x, float y, Colour c) override {
        calls.push_back({"line_to", x, y, 0, 0, c});
    }

    std::vector<Call> calls;
};

}  // namespace heatplate::testing
