#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/drawing_box.h"
#include "raster/raster.h"

namespace heatplate {

// Paints a grid of cells onto pixels, the way fill_rect cell after cell
// would, and remembers what it painted. A grid repainted step after step
// mostly repeats itself, so when nothing but earlier paints of the same grid
// (and clears) has touched the pixels since, only the pixels of the cells
// whose colour differs from the last paint are worked out again: the cell
// painted last among those covering a pixel decides its colour, and a pixel
// no painted cell covers keeps what it shows.
//
// A paint can also wait until somebody looks: the colours are kept, and the
// next paint of the same grid replaces them, as long as the picture it
// leaves does not depend on the waiting one. That holds while no cell that
// the waiting colours paint is left out by the next: every pixel then shows
// the colour the next paint gives it, or, under cells left out both times,
// what it showed before either. settle() paints what waits; the owner of
// the pixels calls it before anything reads them or draws on them.
class GridPainter {
  public:
    // The pixels were cleared: as if every cell had been left out. A waiting
    // paint is dropped, as the clear would have covered it.
    void cleared() {
        state_ = State::Cleared;
        waiting_ = false;
    }
    // Something else drew on the pixels (after settle()).
    void forget() { state_ = State::Unknown; }

    // Keeps the colours of a paint of the grid mapped by the two axes, to be
    // painted when settled, if they may wait (see above). Returns whether
    // they do; if not, paint() them.
    bool wait(const PixelAxis& ax, const PixelAxis& ay, bool mapped, const CellGrid& grid,
              std::span<const Colour> colours);
    // Paints the grid mapped by the two axes (see DrawingBox::fill_cells),
    // after what waits. `mapped` is false when the box has no usable
    // coordinate system, which paints nothing. Returns whether any pixel was
    // written.
    bool paint(const Canvas& canvas, const PixelAxis& ax, const PixelAxis& ay, bool mapped,
               const CellGrid& grid, std::span<const Colour> colours);
    // Paints the colours of a waiting paint, if any. Returns whether any
    // pixel was written.
    bool settle(const Canvas& canvas);
    bool waiting() const { return waiting_; }

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
        // For every pixel, where the first of those starts in the table of
        // cells: (k - 1) * stride for cell k, with stride ny across the
        // columns and 1 along a column; 0 for a pixel no cell covers.
        std::vector<std::size_t> first;
        // Per cell k, at k - 1: the pixels it is the first of, when they
        // follow each other.
        std::vector<PixelSpan> own;
        // Whether the axis is as plain as a grid of cells a pixel wide or
        // more, edges in order, makes it: every cell's own pixels follow
        // each other, and a pixel is covered by one cell or by two
        // neighbours k and k + 1, k + 1 first.
        bool plain = false;
    };

    bool same_grid(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                   const CellGrid& grid) const;
    static bool fits(const CellGrid& grid, std::span<const Colour> colours);
    bool wait_with(std::span<const Colour> colours);
    void build_geometry(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                        const CellGrid& grid);
    static void build_axis(const PixelAxis& axis, bool mapped, std::span<const float> edges,
                           std::size_t stride, AxisCells& out);
    bool paint_all(const Canvas& canvas, std::span<const Colour> colours);
    bool paint_changes(const Canvas& canvas, std::span<const Colour> colours);
    bool repaint_changed_cells(const Canvas& canvas, std::span<const Colour> colours);
    bool repaint_every_pixel(const Canvas& canvas) const;
    bool paint_own_pixels(const Canvas& canvas, std::span<const Colour> colours, std::size_t i,
                          std::size_t j) const;
    void repaint_cell_pixels(const Canvas& canvas, std::size_t i, std::size_t j) const;
    std::uint32_t covered_pixel(int c, int r) const;

    State state_ = State::Cleared;
    bool have_geometry_ = false;
    PixelAxis ax_, ay_;
    bool mapped_ = false;
    std::vector<float> xs_, ys_;
    AxisCells cols_, rows_;
    // Per cell ((i - 1) * ny + (j - 1)), as the last paint left it: its
    // colour, and its pixel value or 0 when it was left out (a pixel is
    // opaque, so no painted cell gives 0).
    std::vector<Colour> last_;
    std::vector<std::uint32_t> pixels_;
    // The colours of a paint that waits, and room for the next one's.
    bool waiting_ = false;
    std::vector<Colour> waiting_colours_, next_colours_;
    // The cells whose colour a paint changes.
    std::vector<std::size_t> changed_;
};

}  // namespace heatplate
