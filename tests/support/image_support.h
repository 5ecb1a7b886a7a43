#pragma once

#include <QColor>
#include <QImage>

#include <set>
#include <utility>

#include "raster/drawing_box.h"

namespace heatplate::testing {

// The colour value (red + 256 green + 65536 blue) a pixel shows.
inline Colour colour_at(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

using Pixels = std::set<std::pair<int, int>>;

// The pixels (x, y) showing the colour, or any other colour if `other`.
inline Pixels pixels_in(const QImage& image, Colour colour, bool other = false) {
    Pixels out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((colour_at(image, x, y) == colour) != other)
                out.insert({x, y});
        }
    }
    return out;
}

}  // namespace heatplate::testing
