#pragma once

#include <cstdint>

namespace heatplate {

// red + 256 * green + 65536 * blue, each component 0..255.
using Colour = std::int32_t;

// Stands for "paint nothing" where a colour is expected.
inline constexpr Colour kNoColour = -1;

}  // namespace heatplate
