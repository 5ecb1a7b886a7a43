#include "raster/image_drawing_box.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace heatplate {
namespace {

bool finite(float v) {
    return std::isfinite(v);
}

// Lines are clipped to this many pixels around the image before they are
// rasterised, so that a point far outside (a residual far above the chart's
// range, say) costs no more than one inside and the integer arithmetic of
// the rasteriser cannot overflow.
constexpr double kFar = 1 << 20;

// Clips the segment to [-kFar, kFar] in both directions (Liang-Barsky).
// Returns false when nothing of it lies inside. An end moved onto the border
// is put exactly on it: with ends near the limits of a float, interpolating
// that coordinate would lose every digit that matters in the image.
bool clip_far(double& x1, double& y1, double& x2, double& y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 + kFar, kFar - x1, y1 + kFar, kFar - y1};
    double t0 = 0;
    double t1 = 1;
    int border0 = -1;
    int border1 = -1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            if (t > t0) {
                t0 = t;
                border0 = k;
            }
        } else if (t < t1) {
            t1 = t;
            border1 = k;
        }
        if (t0 > t1) {
            return false;
        }
    }
    auto point_at = [&](double t, int border, double& x, double& y) {
        x = std::clamp(x1 + t * dx, -kFar, kFar);
        y = std::clamp(y1 + t * dy, -kFar, kFar);
        if (border == 0 || border == 1) {
            x = border == 0 ? -kFar : kFar;
        } else {
            y = border == 2 ? -kFar : kFar;
        }
    };
    double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
    if (border0 >= 0) {
        point_at(t0, border0, nx1, ny1);
    }
    if (border1 >= 0) {
        point_at(t1, border1, nx2, ny2);
    }
    x1 = nx1;
    y1 = ny1;
    x2 = nx2;
    y2 = ny2;
    return true;
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
    mapping_valid_ = finite(x1) && finite(y1) && finite(x2) && finite(y2) && x1 != x2 && y1 != y2;
    if (!mapping_valid_) {
        return;
    }
    // In double, where the difference of two floats is exact enough and
    // cannot overflow.
    ax_.origin = x1;
    ax_.step = (ax_.size - 1) / (static_cast<double>(x2) - x1);
    ay_.origin = y1;
    ay_.step = (ay_.size - 1) / (static_cast<double>(y2) - y1);
}

PixelSpan ImageDrawingBox::span(const PixelAxis& axis, float a, float b) const {
    if (!mapping_valid_ || !finite(a) || !finite(b)) {
        return {};
    }
    return axis.span(a, b);
}

void ImageDrawingBox::cls() {
    fill_all(background_);
    cur_x_ = 0;
    cur_y_ = 0;
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
    const bool near = std::abs(px1) <= kFar && std::abs(py1) <= kFar && std::abs(px2) <= kFar &&
                      std::abs(py2) <= kFar;
    if (!near && !clip_far(px1, py1, px2, py2)) {
        return;
    }
    const std::int64_t x0 = round_pixel(px1);
    const std::int64_t y0 = round_pixel(py1);
    const std::int64_t x1 = round_pixel(px2);
    const std::int64_t y1 = round_pixel(py2);
    const Canvas canvas = this->canvas();
    if (std::max(x0, x1) < 0 || std::min(x0, x1) >= canvas.width || std::max(y0, y1) < 0 ||
        std::min(y0, y1) >= canvas.height) {
        return;
    }

    rasterise_segment(canvas, x0, y0, x1, y1, pixel);
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
    if (!finite(x) || !finite(y)) {
        return;
    }
    cur_x_ = x;
    cur_y_ = y;
    if (!mapping_valid_) {
        return;
    }
    const double fx = ax_.position(x);
    const double fy = ay_.position(y);
    if (!(std::abs(fx) <= kFar && std::abs(fy) <= kFar)) {
        return;
    }
    const std::int64_t px = round_pixel(fx);
    const std::int64_t py = round_pixel(fy);
    if (px >= 0 && px < ax_.size && py >= 0 && py < ay_.size) {
        settle();
        canvas().row(static_cast<int>(py))[px] = foreground_;
        drew();
    }
}

void ImageDrawingBox::line_to(float x, float y, Colour colour) {
    if (!finite(x) || !finite(y)) {
        return;
    }
    const float from_x = cur_x_;
    const float from_y = cur_y_;
    cur_x_ = x;
    cur_y_ = y;
    line(from_x, from_y, x, y, colour);
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
