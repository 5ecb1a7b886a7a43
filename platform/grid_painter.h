#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/drawing_box.h"
#include "platform/raster.h"

namespace heatplate {

// Paints a grid of cells onto pixels, the way fill_rect cell after cell
// would, and remembers what it painted. A grid repainted step after step
// mostly repeats itself, so when nothing but earlier paints of the same grid
// (and clears) has touched the pixels since, only the pixels of the cells
// whose colour differs from the last paint are worked out again: the cell
// painted last among those covering a pixel decides its colour, and a pixel
// no painted cell covers keeps what it shows.
class GridPainter {
  public:
    // The pixels were cleared: as if every cell had been left out.
    void cleared() { state_ = State::Cleared; }
    // Something else drew on the pixels.
    void forget() { state_ = State::Unknown; }

    // Paints the grid mapped by the two axes (see DrawingBox::fill_cells).
    // `mapped` is false when the box has no usable coordinate system, which
    // paints nothing. Returns whether any pixel was written.
    bool paint(const Canvas& canvas, const PixelAxis& ax, const PixelAxis& ay, bool mapped,
               const CellGrid& grid, std::span<const Colour> colours);

  private:
    enum class State {
        Cleared,  // nothing painted since the last clear
        Painted,  // the pixels are what the last paint left
        Unknown,  // something else has drawn since
    };
    // One axis of the grid in pixels.
    struct AxisCells {
        std::vector<PixelSpan> spans;  // per cell column (row) k = 1..n, at k - 1
        // For every pixel, the cells that cover it, last painted first:
        // cover[start[p] .. start[p + 1]).
        std::vector<int> start, cover;
    };

    bool same_grid(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                   const CellGrid& grid) const;
    void build_geometry(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                        const CellGrid& grid);
    static void build_axis(const PixelAxis& axis, bool mapped, std::span<const float> edges,
                           AxisCells& out);
    bool paint_all(const Canvas& canvas, std::span<const Colour> colours) const;
    bool paint_changes(const Canvas& canvas, std::span<const Colour> colours) const;
    void repaint_cell_pixels(const Canvas& canvas, int i, int j,
                             std::span<const Colour> colours) const;

    State state_ = State::Cleared;
    bool have_geometry_ = false;
    PixelAxis ax_, ay_;
    bool mapped_ = false;
    std::vector<float> xs_, ys_;
    AxisCells cols_, rows_;
    std::vector<Colour> last_;  // the colours of the last paint
};

}  // namespace heatplate
