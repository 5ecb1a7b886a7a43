#pragma once

#include <cstddef>
#include <cstdint>

#include "model/colour.h"

namespace heatplate {

// Cells of two colour tables compared a block at a time: a picture repainted
// step after step keeps nearly all its colours, and one comparison of a
// block tells which few changed.
inline constexpr std::size_t kCompareBlock = 64;

// Bit k set where a[k] != b[k], for k = 0..kCompareBlock - 1. Worked out
// with the widest vectors the processor has, chosen when the program is
// loaded.
std::uint64_t differing_cells(const Colour* a, const Colour* b);

}  // namespace heatplate
