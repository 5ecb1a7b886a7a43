// The image-backed drawing box: where user coordinates land, which pixels a
// line covers, refusal of what cannot be drawn, and the grid painter, which
// must leave exactly the picture of the fill_rect calls it stands for.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "platform/image_drawing_box.h"
#include "tests/view/view_test_support.h"

namespace heatplate {
namespace {

using testing::colour_at;
using testing::count_pixels;
using Pixels = std::set<std::pair<int, int>>;

constexpr Colour kGrey = 240 + 256 * 240 + 65536 * 240;
constexpr Colour kRed = 255;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// One user unit per pixel.
ImageDrawingBox pixel_box(int w, int h) {
    ImageDrawingBox box(w, h, kGrey);
    box.scale(0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1));
    return box;
}

Pixels pixels_in(const QImage& image, Colour colour) {
    Pixels out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (colour_at(image, x, y) == colour)
                out.insert({x, y});
        }
    }
    return out;
}

TEST(ImageDrawingBox, UserCornersLandOnCornerPixelsAndRectanglesIncludeBoth) {
    ImageDrawingBox box(11, 7, kGrey);
    box.scale(-1, 2, 1, -2);  // y grows upwards
    for (const auto& [x, y] : {std::pair{-1.0f, 2.0f}, {1.0f, -2.0f}, {0.0f, 0.0f}, {0.6f, 1.2f}}) {
        box.pset(x, y);
    }
    EXPECT_EQ(pixels_in(box.image(), 0), (Pixels{{0, 0}, {10, 6}, {5, 3}, {8, 1}}));

    ImageDrawingBox rect = pixel_box(6, 6);
    rect.fill_rect(3, 4, 1, 2, kRed);
    EXPECT_EQ(count_pixels(rect.image(), kRed), 9);
    EXPECT_EQ(colour_at(rect.image(), 1, 2), kRed);
    EXPECT_EQ(colour_at(rect.image(), 3, 4), kRed);
    rect.fill_rect(-100, 5, 1e30f, 1e6f, kRed);  // clipped to the bottom row
    EXPECT_EQ(count_pixels(rect.image(), kRed), 9 + 6);
}

TEST(ImageDrawingBox, LinesFollowTheRoundedExactLineAndAreClipped) {
    ImageDrawingBox box = pixel_box(10, 40);
    box.line(0, 0, 6, 33, 0);
    Pixels expected;
    for (int y = 0; y <= 33; ++y)
        expected.insert({static_cast<int>(std::floor(y * 6.0 / 33 + 0.5)), y});
    EXPECT_EQ(pixels_in(box.image(), 0), expected);

    // From (2, 1) with slope 1/4 to a point far outside: the visible part
    // is that of the exact line.
    ImageDrawingBox far = pixel_box(20, 20);
    far.line(2, 1, 2 + 4000, 1 + 1000, 0);
    expected.clear();
    for (int x = 2; x < 20; ++x)
        expected.insert({x, 1 + static_cast<int>(std::floor((x - 2) / 4.0 + 0.5))});
    EXPECT_EQ(pixels_in(far.image(), 0), expected);
    // Ends at the limits of a float cross the image where they should.
    far.cls();
    far.line(-3e38f, 10, 3e38f, 10, kRed);
    far.line(5, -3e38f, 5, 3e38f, kRed);
    EXPECT_EQ(count_pixels(far.image(), kRed), 20 + 20 - 1);
}

TEST(ImageDrawingBox, PositionFollowsPointsAndLinesButNotWhatIsNotFinite) {
    ImageDrawingBox box = pixel_box(8, 8);
    const auto v0 = box.version();
    box.fill_rect(kNaN, 0, 3, 3, kRed);
    box.line(0, 0, 3, kInf, kRed);
    box.pset(2, 2);
    box.pset(kNaN, 7);  // ignored: the position stays at (2, 2)
    box.line_to(-kInf, 2, kRed);
    box.line_to(2, 4, kRed);
    box.line_to(4, 4, kRed);
    EXPECT_EQ(pixels_in(box.image(), kRed), (Pixels{{2, 2}, {2, 3}, {2, 4}, {3, 4}, {4, 4}}));
    EXPECT_EQ(box.version(), v0 + 3);
    box.cls();  // back to the background, the position to (0, 0)
    box.line_to(0, 1, kRed);
    EXPECT_EQ(pixels_in(box.image(), kRed), (Pixels{{0, 0}, {0, 1}}));
}

TEST(ImageDrawingBox, CoordinateSystemWithoutExtentOrNotFiniteDrawsNothing) {
    for (const auto& c : std::vector<std::array<float, 4>>{
             {0, 0, 0, 1}, {0, 1, 1, 1}, {kNaN, 0, 1, 1}, {0, 0, kInf, 1}}) {
        ImageDrawingBox box(8, 8, kGrey);
        box.scale(c[0], c[1], c[2], c[3]);
        box.fill_rect(-1e6f, -1e6f, 1e6f, 1e6f, kRed);
        box.line(0, 0, 1, 1, kRed);
        box.pset(0, 0);
        const std::vector<float> edges{0, 1};
        box.fill_cells(edges, edges, std::vector<std::int16_t>{1}, std::vector<Colour>{0, kRed});
        EXPECT_EQ(count_pixels(box.image(), kGrey), 64);
        box.scale(0, 0, 1, 1);
        box.fill_rect(0, 0, 1, 1, kRed);
        EXPECT_EQ(count_pixels(box.image(), kRed), 64);
    }
}

// fill_cells against the fill_rect calls it stands for, step after step,
// with cells that change, stay or are left out, on grids whose cells are
// wider or narrower than a pixel, uneven, reversed or partly outside, and
// with clears, other drawing, new coordinate systems and new colours between.
class FillCellsEquivalence : public ::testing::Test {
  protected:
    ImageDrawingBox grid_{23, 17, kGrey};
    ImageDrawingBox calls_{23, 17, kGrey};
    std::mt19937 rng_{12345};

    void both(auto&& op) {
        op(grid_);
        op(calls_);
    }

    void run_steps(const std::vector<float>& xs, const std::vector<float>& ys, Colour base,
                   const char* what) {
        std::vector<Colour> colours(6);
        for (std::size_t k = 0; k < colours.size(); ++k)
            colours[k] = base + 37 * static_cast<Colour>(k);
        const std::size_t ny = ys.size() - 1;
        std::vector<std::int16_t> indices((xs.size() - 1) * ny, 0);
        std::uniform_int_distribution<int> pick(0, 9), level(-1, 5);
        for (int step = 0; step < 25; ++step) {
            for (auto& k : indices) {
                if (pick(rng_) < 3)
                    k = static_cast<std::int16_t>(level(rng_));
            }
            grid_.fill_cells(xs, ys, indices, colours);
            for (std::size_t i = 1; i < xs.size(); ++i) {
                for (std::size_t j = 1; j <= ny; ++j) {
                    const std::int16_t k = indices[(i - 1) * ny + (j - 1)];
                    if (k > 0)
                        calls_.fill_rect(xs[i], ys[j], xs[i - 1], ys[j - 1],
                                         colours[static_cast<std::size_t>(k)]);
                }
            }
            ASSERT_EQ(grid_.image(), calls_.image()) << what << ", step " << step;
        }
    }
};

std::vector<float> even_edges(int n) {
    std::vector<float> e;
    for (int k = 0; k <= n; ++k)
        e.push_back(static_cast<float>(1.0 / n * k));
    return e;
}

TEST_F(FillCellsEquivalence, MatchesTheFillRectCallsStepAfterStep) {
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    run_steps(even_edges(7), even_edges(5), 1000, "wide cells");
    run_steps(even_edges(40), even_edges(31), 1000, "cells narrower than a pixel");
    run_steps({0.0f, 0.05f, 0.5f, 0.52f, 1.0f}, {1.0f, 0.7f, 0.71f, 0.1f}, 1000,
              "uneven, reversed");
    run_steps({-0.5f, 0.2f, 0.6f, 1.7f}, {-2.0f, 0.5f, 3.0f}, 1000, "partly outside");
    run_steps({0.0f, kNaN, 0.5f, 1.0f}, {0.0f, 0.5f, 1.0f}, 1000, "an edge that is not a number");
    both([](ImageDrawingBox& b) { b.cls(); });
    run_steps(even_edges(9), even_edges(9), 1000, "after a clear");
    both([](ImageDrawingBox& b) { b.line(0, 0, 1, 1, 0); });
    run_steps(even_edges(9), even_edges(9), 1000, "after a line");
    both([](ImageDrawingBox& b) { b.scale(-0.2f, 1.1f, 1.3f, -0.4f); });
    run_steps(even_edges(9), even_edges(9), 1000, "after a new coordinate system");
    run_steps(even_edges(9), even_edges(9), 5000, "with other colours");
}

}  // namespace
}  // namespace heatplate
