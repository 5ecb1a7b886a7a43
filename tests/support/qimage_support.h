#pragma once

#include <QImage>

#include <cstdint>

#include "raster/raster.h"
#include "tests/support/image_support.h"

namespace heatplate::testing {

inline Colour colour_at(const QImage& image, int x, int y) {
    return colour_of_pixel(image.pixel(x, y));
}
// The pixels of an image (a PNG read back, a frame decoded) as the drawing
// boxes keep them, to compare with a box's picture.
inline RasterImage raster_of(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RasterImage out(rgb.width(), rgb.height(), 0);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = rgb.pixel(x, y) | 0xFF000000u;
        }
    }
    return out;
}

inline Pixels pixels_in(const QImage& image, Colour colour, bool other = false) {
    return pixels_in(raster_of(image), colour, other);
}

}  // namespace heatplate::testing
