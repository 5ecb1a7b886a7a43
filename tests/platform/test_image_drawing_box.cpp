// The image-backed drawing box: where user coordinates land, clipping, and the
// grid painter, which must leave exactly the picture of the fill_rect calls it
// stands for.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/image_drawing_box.h"
#include "tests/support/image_support.h"

namespace heatplate {
namespace {

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
}

// fill_cells against the fill_rect calls it stands for, step after step, with
// cells that change, stay or are left out, on grids whose cells are wider or
// narrower than a pixel, uneven, reversed or partly outside, and with a clear,
// a new coordinate system and new colours between.
TEST(ImageDrawingBox, FillCellsMatchesTheFillRectCallsStepAfterStep) {
    ImageDrawingBox grid(23, 17, kGrey), calls(23, 17, kGrey);
    std::mt19937 rng(12345);
    const auto run_steps = [&](const std::vector<float>& xs, const std::vector<float>& ys,
                               Colour base) {
        const std::vector<Colour> palette{kNoColour, base, base + 37, base + 74, base + 111};
        const std::size_t ny = ys.size() - 1;
        std::vector<Colour> colours((xs.size() - 1) * ny, kNoColour);
        std::uniform_int_distribution<int> pick(0, 9), level(0, 4);
        for (int step = 0; step < 25; ++step) {
            for (auto& c : colours)
                c = pick(rng) < 3 ? palette[static_cast<std::size_t>(level(rng))] : c;
            grid.fill_cells({xs, ys}, colours);
            for (std::size_t i = 1; i < xs.size(); ++i) {
                for (std::size_t j = 1; j <= ny; ++j) {
                    if (const Colour c = colours[(i - 1) * ny + (j - 1)]; c != kNoColour)
                        calls.fill_rect(xs[i], ys[j], xs[i - 1], ys[j - 1], c);
                }
            }
            ASSERT_EQ(grid.image(), calls.image()) << xs.size() << " edges, step " << step;
        }
    };
    const auto both = [&](auto&& op) {
        op(grid);
        op(calls);
    };
    std::vector<float> fine;
    for (int k = 0; k <= 40; ++k)
        fine.push_back(k / 40.0f);
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    run_steps({-0.5f, 0.05f, 0.5f, 0.52f, 1.7f}, {3.0f, 0.7f, 0.71f, 0.1f, -2.0f}, 1000);
    run_steps(fine, fine, 1000);  // cells narrower than a pixel
    both([](ImageDrawingBox& b) { b.cls(); });
    run_steps(fine, fine, 1000);
    both([](ImageDrawingBox& b) { b.scale(-0.2f, 1.1f, 1.3f, -0.4f); });
    run_steps(fine, fine, 1000);
    run_steps(fine, fine, 5000);
}

}  // namespace
}  // namespace heatplate
