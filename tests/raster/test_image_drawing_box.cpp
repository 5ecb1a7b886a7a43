// The image-backed drawing box: where user coordinates land, clipping, and
// cells painted as their rectangles by any box.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "raster/image_drawing_box.h"
#include "tests/support/image_support.h"
#include "tests/support/recording_box.h"

namespace heatplate {
namespace {

using testing::colour_at;
using testing::Pixels;
using testing::pixels_in;

constexpr Colour kGrey = 0xF0F0F0;
constexpr Colour kRed = 255;

TEST(ImageDrawingBox, UserCornersLandOnCornerPixelsAndDrawingIsClipped) {
    ImageDrawingBox box(11, 7, kGrey);
    box.scale(-1, 2, 1, -2);  // y grows upwards
    for (const auto& [x, y] : {std::pair{-1.0f, 2.0f}, {1.0f, -2.0f}, {0.0f, 0.0f}, {0.6f, 1.2f}})
        box.pset(x, y);
    EXPECT_EQ(pixels_in(box.image(), 0), (Pixels{{0, 0}, {10, 6}, {5, 3}, {8, 1}}));

    ImageDrawingBox px(20, 20, kGrey);  // one user unit per pixel
    px.scale(0, 0, 19, 19);
    px.fill_rect(3, 4, 1, 2, kRed);  // both corners included: 3 x 3 from (1, 2)
    EXPECT_EQ(pixels_in(px.image(), kRed).size(), 9u);
    EXPECT_EQ(*pixels_in(px.image(), kRed).begin(), std::pair(1, 2));
    px.fill_rect(-100, 19, 1e30f, 1e6f, kRed);  // clipped to the bottom row
    EXPECT_EQ(pixels_in(px.image(), kRed).size(), 9u + 20u);
    // From (2, 1) with slope 1/4 to a point far outside: the visible part is
    // that of the exact line.
    px.line(2, 1, 2 + 4000, 1 + 1000, 0);
    Pixels expected;
    for (int x = 2; x < 20; ++x)
        expected.insert({x, 1 + static_cast<int>(std::floor((x - 2) / 4.0 + 0.5))});
    EXPECT_EQ(pixels_in(px.image(), 0), expected);

    // A position halfway between two pixels goes to the one after; a clear
    // sends the current position back to (0, 0); a rectangle wholly beside
    // the picture paints nothing of it.
    ImageDrawingBox half(11, 11, kGrey);
    half.scale(0, 0, 10, 10);
    half.pset(2.5f, 3.5f);
    EXPECT_EQ(pixels_in(half.image(), 0), (Pixels{{3, 4}}));
    half.pset(7, 9);
    half.cls();
    half.line_to(0, 3, kRed);
    EXPECT_EQ(pixels_in(half.image(), kRed), (Pixels{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    half.fill_rect(-5, 2, -2, 8, kRed);
    half.fill_rect(2, -9, 8, -3, kRed);
    EXPECT_EQ(pixels_in(half.image(), kRed).size(), 4u);
}

// A box without a grid painter of its own paints the cells as rectangles,
// column after column, each in its own colour, leaving out those without.
TEST(DrawingBox, CellsAreTheirRectanglesInOrder) {
    testing::RecordingBox box;
    const std::vector<float> xs{0, 1, 2, 3}, ys{0, 10, 20};
    const std::vector<Colour> colours{11, 12, kNoColour, 22, 31, 32};
    box.fill_cells({xs, ys}, colours);
    std::vector<std::array<float, 5>> seen;
    for (const auto& c : box.calls)
        seen.push_back({c.x1, c.y1, c.x2, c.y2, static_cast<float>(c.colour)});
    EXPECT_EQ(seen, (std::vector<std::array<float, 5>>{{1, 10, 0, 0, 11},
                                                       {1, 20, 0, 10, 12},
                                                       {2, 20, 1, 10, 22},
                                                       {3, 10, 2, 0, 31},
                                                       {3, 20, 2, 10, 32}}));
}

}  // namespace
}  // namespace heatplate
