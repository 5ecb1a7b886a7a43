#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/drawing_box.h"
#include "raster/raster.h"

namespace heatplate {

// A drawing box that keeps what is drawn since the last clear as an SVG
// picture, for pictures that stay sharp at any size. It has the geometry of
// an ImageDrawingBox of the same size, in the same colours: a rectangle
// covers the same pixels, a point is its pixel, and a line runs between the
// centres of the same end pixels, one pixel wide; connected lines of one
// colour become one path. A coordinate system without width or height, or
// anything that is not a finite number, draws nothing, as there.
class SvgDrawingBox final : public DrawingBox {
  public:
    SvgDrawingBox(int width, int height, Colour background, Colour foreground = 0);

    void scale(float x1, float y1, float x2, float y2) override;
    void cls() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override;
    void pset(float x, float y) override;

    // The picture as an SVG document.
    std::string svg() const;

  private:
    struct Shape {
        bool path;  // a path of lines, or a rectangle of pixels
        Colour colour;
        std::string geometry;               // the path's data, or the rectangle's attributes
        std::int64_t end_x = 0, end_y = 0;  // where a path ends, in pixels
    };
    void add_rect(PixelSpan xs, PixelSpan ys, Colour colour);

    int width_, height_;
    Colour background_, foreground_;
    PixelAxis ax_, ay_;
    bool mapping_valid_ = true;
    std::vector<Shape> shapes_;
};

}  // namespace heatplate
