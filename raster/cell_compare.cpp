#include "raster/cell_compare.h"

#include <array>

namespace heatplate {
namespace {

// Bit k of a 32-bit word on its own. A cell that differs masks its bit in
// from this table: shifting it into place would take a shift by a varying
// amount, which x86-64's baseline vectors lack, and choosing it would take
// a branch there.
constexpr std::size_t kHalf = kCompareBlock / 2;
constexpr auto kBit = [] {
    std::array<std::uint32_t, kHalf> bit{};
    for (std::size_t k = 0; k < kHalf; ++k) {
        bit[k] = std::uint32_t{1} << k;
    }
    return bit;
}();

// Cells 0..31 from a and b: bit k set where they differ.
std::uint32_t differing_half(const Colour* a, const Colour* b) {
    std::uint32_t bits = 0;
    for (std::size_t k = 0; k < kHalf; ++k) {
        bits |= kBit[k] & (0 - static_cast<std::uint32_t>(a[k] != b[k]));
    }
    return bits;
}

}  // namespace

// Lane width changes no result, so the widest copy the processor runs is
// chosen when the program is loaded. The two halves of the block are loops
// the compiler runs many cells at a time, with no branch.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define HEATPLATE_WIDE_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define HEATPLATE_WIDE_VECTORS
#endif

HEATPLATE_WIDE_VECTORS
std::uint64_t differing_cells(const Colour* a, const Colour* b) {
    return differing_half(a, b) | std::uint64_t{differing_half(a + kHalf, b + kHalf)} << kHalf;
}

}  // namespace heatplate
