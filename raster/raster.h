#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "model/colour.h"

namespace heatplate {

// A run of pixels [lo, hi] along one axis; empty when lo > hi.
struct PixelSpan {
    int lo = 0;
    int hi = -1;

    bool empty() const { return lo > hi; }
    bool operator==(const PixelSpan&) const = default;
};

// The nearest pixel of a position in pixel units, halves upwards, for
// positions of magnitude below 2^62 (callers clamp). The same as
// floor(p + 0.5) without a call into the maths library.
inline std::int64_t round_pixel(double p) {
    const double q = p + 0.5;
    auto k = static_cast<std::int64_t>(q);
    if (static_cast<double>(k) > q) {
        --k;
    }
    return k;
}

// How user coordinates along one axis land on pixels: the user coordinate
// `origin` on the centre of the first pixel, `step` pixels per user unit.
struct PixelAxis {
    double origin = 0;
    double step = 1;
    int size = 0;  // pixels

    double position(float u) const { return (u - origin) * step; }

    // The pixels covered between two user coordinates, both ends included,
    // clipped to the axis. The ends must be finite.
    PixelSpan span(float a, float b) const {
        // Anything beyond the image is as good as one pixel beyond it.
        const double limit_lo = -1;
        const auto limit_hi = static_cast<double>(size);
        const std::int64_t pa = round_pixel(std::clamp(position(a), limit_lo, limit_hi));
        const std::int64_t pb = round_pixel(std::clamp(position(b), limit_lo, limit_hi));
        const std::int64_t lo = std::max<std::int64_t>(std::min(pa, pb), 0);
        const std::int64_t hi = std::min<std::int64_t>(std::max(pa, pb), size - 1);
        if (lo > hi) {
            return {};
        }
        return {static_cast<int>(lo), static_cast<int>(hi)};
    }

    bool operator==(const PixelAxis&) const = default;
};

// The axes of the coordinate system whose top-left corner (x1, y1) lands on
// the centre of the top-left pixel and bottom-right corner (x2, y2) on the
// centre of the bottom-right one, on a picture of the axes' sizes; false,
// with the axes as they were, when it has no width or height or a corner
// is not a finite number.
bool scale_axes(float x1, float y1, float x2, float y2, PixelAxis& ax, PixelAxis& ay);

// The pixel (x, y) lands on, when it lies on the picture of the axes' sizes.
std::optional<std::pair<int, int>> point_pixel(const PixelAxis& ax, const PixelAxis& ay, float x,
                                               float y);

// 32-bit pixels, row after row.
struct Canvas {
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;  // pixels from one row to the next
    int width = 0;
    int height = 0;

    std::uint32_t* row(int y) const { return bits + stride * y; }
    bool contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && x < width && y >= 0 && y < height;
    }
    void fill(PixelSpan xs, PixelSpan ys, std::uint32_t pixel) const {
        for (int y = ys.lo; y <= ys.hi; ++y) {
            std::fill(row(y) + xs.lo, row(y) + xs.hi + 1, pixel);
        }
    }
};

// A picture of opaque 32-bit pixels (0xFFRRGGBB), row after row from the top.
struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RasterImage() = default;
    RasterImage(int w, int h, std::uint32_t pixel)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, pixel) {}

    std::uint32_t pixel(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    Canvas canvas() { return {pixels.data(), width, width, height}; }
    bool operator==(const RasterImage&) const = default;
};

// The opaque pixel (0xAARRGGBB) of a colour value.
inline std::uint32_t pixel_of(Colour colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    const std::uint32_t red = c & 0xFFu;
    const std::uint32_t green = (c >> 8) & 0xFFu;
    const std::uint32_t blue = (c >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// The colour value a pixel shows.
inline Colour colour_of_pixel(std::uint32_t pixel) {
    return static_cast<Colour>(((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) |
                               ((pixel & 0xFFu) << 16));
}

}  // namespace heatplate
