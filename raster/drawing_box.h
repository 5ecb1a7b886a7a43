#pragma once

#include <span>

#include "model/colour.h"

namespace heatplate {

// The cells of a regular grid: cell (i, j), i = 1..nx and j = 1..ny, has the
// opposite corners (xs[i], ys[j]) and (xs[i - 1], ys[j - 1]), where
// nx = xs.size() - 1 and ny = ys.size() - 1.
struct CellGrid {
    std::span<const float> xs;
    std::span<const float> ys;
};

// A drawing surface addressed in user coordinates, with the operations the
// pictures are drawn with. Coordinates arrive in single precision: the
// pictures' arithmetic is double, and where a point lands on the pixels
// depends on the float it is rounded to.
class DrawingBox {
  public:
    virtual ~DrawingBox() = default;

    // User coordinates of the top-left (x1, y1) and bottom-right (x2, y2)
    // corners of the client area.
    virtual void scale(float x1, float y1, float x2, float y2) = 0;
    // Back to the background colour; the current position goes to (0, 0).
    virtual void cls() = 0;
    virtual void line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // Filled rectangle with opposite corners (x1, y1) and (x2, y2), inside
    // and outline in the same colour.
    virtual void fill_rect(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // A point in the foreground colour, which becomes the current position.
    virtual void pset(float x, float y) = 0;
    // A line from the current position to (x, y), which becomes the current
    // position: by default a line() from where the last pset(), line_to()
    // or cls() left it; a point that is not a finite number draws nothing
    // and leaves it there.
    virtual void line_to(float x, float y, Colour colour);

    // The same picture as fill_rect over every cell of the grid with a
    // colour, i = 1..nx (outer loop) and j = 1..ny (inner loop), in the
    // colour colours[(i - 1) * ny + (j - 1)]; a cell whose colour is
    // kNoColour, or with a corner that is not a finite number, is left out.
    // A box may do it faster than the rectangles one by one.
    virtual void fill_cells(const CellGrid& grid, std::span<const Colour> colours);

  protected:
    // Makes (x, y) the current position, when both are finite numbers.
    bool move_to(float x, float y);

  private:
    float current_x_ = 0, current_y_ = 0;
};

// Draws nothing: for runs whose pictures nobody looks at.
class NullDrawingBox final : public DrawingBox {
  public:
    void scale(float, float, float, float) override {}
    void cls() override {}
    void line(float, float, float, float, Colour) override {}
    void fill_rect(float, float, float, float, Colour) override {}
    void pset(float, float) override {}
    void line_to(float, float, Colour) override {}
    void fill_cells(const CellGrid&, std::span<const Colour>) override {}
};

}  // namespace heatplate
