#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/drawing_box.h"

namespace heatplate {

// A drawing box backed by an image of its client area, so that the picture
// survives until the next clear however often the window repaints it.
//
// User coordinates map linearly onto pixel centres: the top-left corner given
// to scale() lands on the centre of the top-left pixel and the bottom-right
// corner on the centre of the bottom-right pixel, so whatever lies inside the
// user rectangle, its edges included, is visible. Until scale() is called one
// user unit is one pixel. A coordinate system without width or height, or
// with a corner that is not a finite number, draws nothing, and neither does
// an operation handed a coordinate that is not a finite number (pset and
// line_to then leave the current position where it was). Lines are one pixel
// wide and include both end points; everything is clipped to the image.
class ImageDrawingBox final : public DrawingBox {
  public:
    // width and height: the client area in pixels.
    ImageDrawingBox(int width, int height, Colour background, Colour foreground = 0);

    void scale(float x1, float y1, float x2, float y2) override;
    void cls() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override;
    void pset(float x, float y) override;
    void line_to(float x, float y, Colour colour) override;

    const QImage& image() const;
    bool save_png(const QString& path) const;
    // Grows by one with every change of the picture, so a viewer can tell
    // whether it has something new to show.
    std::uint64_t version() const;

    // The same picture as
    //     fill_rect(xs[i], ys[j], xs[i - 1], ys[j - 1], colours[index of cell (i, j)])
    // for i = 1..nx (outer loop) and j = 1..ny (inner loop), leaving out every
    // cell whose index is 0 or less, where nx = xs.size() - 1, ny = ys.size() - 1
    // and cell (i, j)'s index is indices[(i - 1) * ny + (j - 1)]. Indices must
    // stay below colours.size().
    //
    // A grid repainted step after step mostly repeats itself, so when nothing
    // but earlier calls on the same grid (and clears) has drawn since, only the
    // pixels of the cells whose index differs from the last call are worked out
    // again: the cell painted last among those covering a pixel decides its
    // colour, and a pixel no painted cell covers keeps what it shows.
    void fill_cells(std::span<const float> xs, std::span<const float> ys,
                    std::span<const std::int16_t> indices, std::span<const Colour> colours);

  private:
    // Pixel span [lo, hi] covered along one axis; empty when lo > hi.
    struct Span {
        int lo = 0;
        int hi = -1;
    };
    struct Axis {
        double origin = 0;  // user coordinate of the first pixel's centre
        double step = 1;    // pixels per user unit
        int size = 0;       // pixels
    };
    // What the last fill_cells call left on the picture.
    enum class CellsState {
        Cleared,  // nothing painted since the last clear: as if every index had been 0
        Painted,  // the picture is what the last call painted, over what it found
        Unknown,  // something else has drawn since
    };

    bool mapping_valid() const { return mapping_valid_; }
    Span span(const Axis& axis, float a, float b) const;
    std::uint32_t* pixels();
    void fill_span(std::uint32_t* bits, Span xs, Span ys, std::uint32_t pixel);
    void fill_all(std::uint32_t pixel);
    void draw_line(double px1, double py1, double px2, double py2, std::uint32_t pixel);
    void touched() { ++version_; }
    void forget_cells();
    void build_cell_geometry(std::span<const float> xs, std::span<const float> ys);
    void repaint_cell_pixels(std::uint32_t* bits, int i, int j,
                             std::span<const std::int16_t> indices);

    QImage image_;
    std::uint32_t background_;
    std::uint32_t foreground_;
    Axis ax_, ay_;               // their sizes are the image's width and height
    std::ptrdiff_t stride_ = 0;  // pixels from one row to the next
    bool mapping_valid_ = true;
    float cur_x_ = 0, cur_y_ = 0;
    std::uint64_t version_ = 0;

    // fill_cells' memory of the grid it painted last.
    CellsState cells_state_ = CellsState::Cleared;
    std::uint64_t mapping_stamp_ = 0;  // changes with every scale()
    std::uint64_t cells_mapping_stamp_ = ~std::uint64_t{0};
    std::vector<float> cell_xs_, cell_ys_;
    std::vector<Span> col_spans_, row_spans_;  // per cell column i = 1..nx, row j = 1..ny
    // For every pixel column (row), the cell columns (rows) that cover it,
    // last painted first: cover_cols_[cover_col_start_[c] .. cover_col_start_[c + 1]).
    std::vector<int> cover_col_start_, cover_cols_, cover_row_start_, cover_rows_;
    std::vector<std::int16_t> last_indices_;
    std::vector<std::uint32_t> pixels_of_;       // colours as pixels, for the last call
    std::vector<std::uint32_t> next_pixels_of_;  // the same for this call, kept to reuse its memory
};

}  // namespace heatplate
