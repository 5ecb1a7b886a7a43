#pragma once

#include <cstdint>
#include <span>

#include "raster/drawing_box.h"
#include "raster/grid_painter.h"
#include "raster/raster.h"

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
//
// A grid of cells painted step after step may wait to be painted until the
// picture is looked at (see GridPainter): image(), save_png() and version()
// and any other drawing first paint what waits, so that whoever looks sees
// the picture the calls so far have drawn.
class ImageDrawingBox final : public DrawingBox {
  public:
    // width and height: the client area in pixels.
    ImageDrawingBox(int width, int height, Colour background, Colour foreground = 0);

    void scale(float x1, float y1, float x2, float y2) override;
    void cls() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override;
    void pset(float x, float y) override;

    // The picture, with what waits painted.
    const RasterImage& image() const;
    // Grows by one with every change of the picture, so a viewer can tell
    // whether it has something new to show.
    std::uint64_t version() const;

    // The cells' rectangles, worked out once per grid; a repaint of the same
    // grid rewrites only the pixels whose colour can have changed.
    void fill_cells(const CellGrid& grid, std::span<const Colour> colours) override;

  private:
    PixelSpan span(const PixelAxis& axis, float a, float b) const;
    Canvas canvas() const;
    // Paints what the grid painter keeps waiting, if anything.
    void settle() const;
    void fill_all(std::uint32_t pixel);
    void draw_line(double px1, double py1, double px2, double py2, std::uint32_t pixel);
    // Another picture to show, and the grid painter's memory no longer holds.
    void drew();

    // Mutable as a waiting paint is done by whoever looks first.
    mutable RasterImage image_;
    std::uint32_t background_;
    std::uint32_t foreground_;
    PixelAxis ax_, ay_;  // their sizes are the image's width and height
    bool mapping_valid_ = true;
    mutable std::uint64_t version_ = 0;
    mutable GridPainter grid_painter_;
};

}  // namespace heatplate
