#pragma once

#include <cstddef>
#include <cstdint>

#include "model/colour.h"

namespace heatplate {

// Cells of two colour tables compared a block at a time: a picture repainted
// step after step keeps nearly all its colours, and one comparison of a
// block tells which few changed.
inline constexpr std::size_t kCompareBlock = 64;

// The vectors the block is compared with; the widest the processor has is
// chosen when the program is loaded.
enum class CompareWidth { Plain, Bits128, Bits256, Bits512 };

CompareWidth widest_compare();
bool can_compare_with(CompareWidth width);

// Bit k set where a[k] != b[k], for k = 0..kCompareBlock - 1.
std::uint64_t differing_cells(const Colour* a, const Colour* b,
                              CompareWidth width = widest_compare());

}  // namespace heatplate
