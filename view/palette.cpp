#include "view/palette.h"

#include <cstdint>

namespace heatplate {
namespace {

Colour colour(std::int16_t red, std::int16_t green, std::int16_t blue) {
    return red + 256 * green + 65536 * blue;
}

}  // namespace

void colors(SimulationState& s) {
    s.Black = colour(0, 0, 0);
    s.Red = colour(255, 0, 0);
    for (std::int16_t k = 1; k <= 255; ++k) {
        s.Palette(k) = colour(k, 0, static_cast<std::int16_t>(255 - k));
    }
}

}  // namespace heatplate
