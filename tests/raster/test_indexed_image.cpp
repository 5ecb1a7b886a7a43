// The exact 8-bit copy of a picture that saved pictures and animation frames
// are made of.
#include <gtest/gtest.h>

#include "raster/indexed_image.h"

namespace heatplate {
namespace {

// Every colour a different one: (x, y) on a 16-wide picture is colour number
// 16 y + x, 256 in all on 16 rows, one more with a 17th.
RasterImage many_colours(int rows) {
    RasterImage image(16, rows, 0);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto k = static_cast<std::uint32_t>(16 * y + x);
            image.pixels[static_cast<std::size_t>(16 * y + x)] =
                0xFF000000u | (k << 16) | ((255u - x) << 8) | (7u * y);
        }
    }
    return image;
}

TEST(ExactIndexed8, KeepsUpTo256ColoursExactlyInTheOrderTheyAppearAndRefusesMore) {
    RasterImage two(3, 2, 0xFF00FF00u);
    two.pixels[4] = 0xFF123456u;
    const auto small = exact_indexed8(two);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->colours, (std::vector<std::uint32_t>{0xFF00FF00u, 0xFF123456u}));
    EXPECT_EQ(small->indices, (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0}));

    const RasterImage full = many_colours(16);
    const auto indexed = exact_indexed8(full);
    ASSERT_TRUE(indexed.has_value());
    EXPECT_EQ(indexed->colours.size(), 256u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(indexed->pixel(x, y), full.pixel(x, y));
    EXPECT_FALSE(exact_indexed8(many_colours(17)).has_value());
}

}  // namespace
}  // namespace heatplate
