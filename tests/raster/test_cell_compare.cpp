// The block comparison the grid painter finds changed cells with.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "raster/cell_compare.h"

namespace heatplate {
namespace {

// The comparison finds exactly the cells of a block that differ, wherever
// they lie, many, one or none.
TEST(CellCompare, FindsTheCellsThatDiffer) {
    std::mt19937 rng(99);
    std::vector<Colour> a(kCompareBlock), b(kCompareBlock);
    for (int round = 0; round < 200; ++round) {
        std::uint64_t expected = 0;
        const std::size_t one = round % 10 == 8 ? rng() % kCompareBlock : kCompareBlock;
        for (std::size_t k = 0; k < kCompareBlock; ++k) {
            a[k] = static_cast<Colour>(rng());
            const bool differ =
                round % 10 >= 8 ? k == one : rng() % static_cast<unsigned>(round % 7 + 2) == 0;
            // Only the sign bit, only the lowest, or anything.
            const Colour flip = round % 3 == 0 ? INT32_MIN : round % 3 == 1 ? 1 : 0x5A5A5A;
            b[k] = differ ? a[k] ^ flip : a[k];
            expected |= static_cast<std::uint64_t>(differ) << k;
        }
        EXPECT_EQ(differing_cells(a.data(), b.data()), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace heatplate
