#include "raster/image_drawing_box.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "raster/segment.h"

namespace heatplate {
namespace {

bool finite(float v) {
    return std::isfinite(v);
}

// The pixels of the segment between two pixel positions, both ends
// included, that lie on the canvas.
void rasterise_segment(const Canvas& canvas, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                       std::int64_t y1, std::uint32_t pixel) {
    // Along the major axis every pixel position t = 0..len gets the minor
    // coordinate rounded from the exact line, halves away from the start:
    // minor(t) = floor((2 t d + len) / (2 len)). Only the positions inside
    // the image are visited; the first one's quotient and remainder come
    // from a division, the rest by stepping.
    const bool x_major = std::abs(x1 - x0) >= std::abs(y1 - y0);
    const std::int64_t major0 = x_major ? x0 : y0;
    const std::int64_t minor0 = x_major ? y0 : x0;
    const std::int64_t major_delta = x_major ? x1 - x0 : y1 - y0;
    const std::int64_t minor_delta = x_major ? y1 - y0 : x1 - x0;
    const std::int64_t major_size = x_major ? canvas.width : canvas.height;
    const std::int64_t len = std::abs(major_delta);
    const std::int64_t d = std::abs(minor_delta);
    const std::int64_t major_dir = major_delta < 0 ? -1 : 1;
    const std::int64_t minor_dir = minor_delta < 0 ? -1 : 1;

    std::int64_t t_lo = 0;
    std::int64_t t_hi = len;
    if (major_dir > 0) {
        t_lo = std::max(t_lo, -major0);
        t_hi = std::min(t_hi, major_size - 1 - major0);
    } else {
        t_lo = std::max(t_lo, major0 - (major_size - 1));
        t_hi = std::min(t_hi, major0);
    }
    if (len == 0) {
        if (canvas.contains(x0, y0)) {
            canvas.row(static_cast<int>(y0))[x0] = pixel;
        }
        return;
    }
    const std::int64_t den = 2 * len;
    std::int64_t num = 2 * t_lo * d + len;
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    for (std::int64_t t = t_lo; t <= t_hi; ++t) {
        const std::int64_t major = major0 + major_dir * t;
        const std::int64_t minor = minor0 + minor_dir * q;
        const std::int64_t x = x_major ? major : minor;
        const std::int64_t y = x_major ? minor : major;
        if (canvas.contains(x, y)) {
            canvas.row(static_cast<int>(y))[x] = pixel;
        }
        r += 2 * d;
        if (r >= den) {
            r -= den;
            ++q;
        }
    }
}

}  // namespace

ImageDrawingBox::ImageDrawingBox(int width, int height, Colour background, Colour foreground)
    : image_(std::max(width, 1), std::max(height, 1), pixel_of(background)),
      background_(pixel_of(background)),
      foreground_(pixel_of(foreground)) {
    ax_.size = image_.width;
    ay_.size = image_.height;
}

Canvas ImageDrawingBox::canvas() const {
    return image_.canvas();
}

void ImageDrawingBox::fill_all(std::uint32_t pixel) {
    canvas().fill({0, ax_.size - 1}, {0, ay_.size - 1}, pixel);
}

void ImageDrawingBox::settle() const {
    if (grid_painter_.waiting() && grid_painter_.settle(canvas())) {
        ++version_;
    }
}

void ImageDrawingBox::drew() {
    ++version_;
    grid_painter_.forget();
}

void ImageDrawingBox::scale(float x1, float y1, float x2, float y2) {
    mapping_valid_ = scale_axes(x1, y1, x2, y2, ax_, ay_);
}

PixelSpan ImageDrawingBox::span(const PixelAxis& axis, float a, float b) const {
    if (!mapping_valid_ || !finite(a) || !finite(b)) {
        return {};
    }
    return axis.span(a, b);
}

void ImageDrawingBox::cls() {
    fill_all(background_);
    move_to(0, 0);
    ++version_;
    grid_painter_.cleared();
}

void ImageDrawingBox::fill_rect(float x1, float y1, float x2, float y2, Colour colour) {
    if (!finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    const PixelSpan xs = span(ax_, x1, x2);
    const PixelSpan ys = span(ay_, y1, y2);
    if (xs.empty() || ys.empty()) {
        return;
    }
    settle();
    canvas().fill(xs, ys, pixel_of(colour));
    drew();
}

void ImageDrawingBox::draw_line(double px1, double py1, double px2, double py2,
                                std::uint32_t pixel) {
    const auto segment = pixel_segment(px1, py1, px2, py2);
    const Canvas canvas = this->canvas();
    if (!segment || !segment->may_cross(canvas.width, canvas.height)) {
        return;
    }
    rasterise_segment(canvas, segment->x0, segment->y0, segment->x1, segment->y1, pixel);
}

void ImageDrawingBox::line(float x1, float y1, float x2, float y2, Colour colour) {
    if (!mapping_valid_ || !finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    settle();
    draw_line(ax_.position(x1), ay_.position(y1), ax_.position(x2), ay_.position(y2),
              pixel_of(colour));
    drew();
}

void ImageDrawingBox::pset(float x, float y) {
    if (!move_to(x, y) || !mapping_valid_) {
        return;
    }
    if (const auto pixel = point_pixel(ax_, ay_, x, y)) {
        settle();
        canvas().row(pixel->second)[pixel->first] = foreground_;
        drew();
    }
}

const RasterImage& ImageDrawingBox::image() const {
    settle();
    return image_;
}

std::uint64_t ImageDrawingBox::version() const {
    settle();
    return version_;
}

void ImageDrawingBox::fill_cells(const CellGrid& grid, std::span<const Colour> colours) {
    if (grid_painter_.wait(ax_, ay_, mapping_valid_, grid, colours)) {
        return;
    }
    if (grid_painter_.paint(canvas(), ax_, ay_, mapping_valid_, grid, colours)) {
        ++version_;
    }
}

}  // namespace heatplate
