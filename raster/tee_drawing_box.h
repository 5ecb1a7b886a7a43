#pragma once

#include <span>

#include "raster/drawing_box.h"

namespace heatplate {

// Draws everything into two boxes at once: a picture shown at the screen's
// resolution and the same picture at the size every saved file has.
class TeeDrawingBox final : public DrawingBox {
  public:
    TeeDrawingBox(DrawingBox& first, DrawingBox& second) : first_(first), second_(second) {}

    void scale(float x1, float y1, float x2, float y2) override {
        first_.scale(x1, y1, x2, y2);
        second_.scale(x1, y1, x2, y2);
    }
    void cls() override {
        first_.cls();
        second_.cls();
    }
    void line(float x1, float y1, float x2, float y2, Colour colour) override {
        first_.line(x1, y1, x2, y2, colour);
        second_.line(x1, y1, x2, y2, colour);
    }
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override {
        first_.fill_rect(x1, y1, x2, y2, colour);
        second_.fill_rect(x1, y1, x2, y2, colour);
    }
    void pset(float x, float y) override {
        first_.pset(x, y);
        second_.pset(x, y);
    }
    void line_to(float x, float y, Colour colour) override {
        first_.line_to(x, y, colour);
        second_.line_to(x, y, colour);
    }
    void fill_cells(const CellGrid& grid, std::span<const Colour> colours) override {
        first_.fill_cells(grid, colours);
        second_.fill_cells(grid, colours);
    }

  private:
    DrawingBox& first_;
    DrawingBox& second_;
};

}  // namespace heatplate
