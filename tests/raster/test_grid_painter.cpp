// The grid painter behind the image box's fill_cells: it must leave exactly
// the picture of the fill_rect calls it stands for, however seldom the
// picture is looked at, and a paint it lets wait must come before whatever
// is drawn next.
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

namespace heatplate {
namespace {

using testing::colour_at;
using testing::pixels_in;

constexpr Colour kGrey = 0xF0F0F0;
constexpr Colour kRed = 255;

// Two boxes given the same drawing: `grid` paints cells with fill_cells,
// `calls` with the fill_rect calls fill_cells stands for.
class GridAgainstCalls : public ::testing::Test {
  protected:
    // The picture is looked at now: it is the fill_rect calls' picture, and
    // its version has grown if it has changed since the last look.
    void look(const char* what) {
        const std::uint64_t version = grid.version();
        ASSERT_EQ(grid.image(), calls.image()) << what;
        if (grid.image() != seen) {
            EXPECT_NE(version, seen_version) << what;
        }
        seen = grid.image();
        seen_version = version;
    }

    // Steps of colours that change, stay or are left out, in stretches that
    // only paint and stretches that also leave cells out again; the picture
    // is looked at after some steps and after the last.
    void run_steps(const std::vector<float>& xs, const std::vector<float>& ys, Colour base,
                   int steps = 60) {
        const std::vector<Colour> palette{kNoColour, base, base + 37, base + 74, base + 111};
        const std::size_t ny = ys.size() - 1;
        std::vector<Colour> colours((xs.size() - 1) * ny, kNoColour);
        std::uniform_int_distribution<int> pick(0, 9), level(0, 4);
        for (int step = 0; step < steps; ++step) {
            const int lowest = (step / 10) % 2 == 0 ? 1 : 0;
            for (auto& c : colours) {
                if (pick(rng) < 3) {
                    c = palette[static_cast<std::size_t>(std::max(level(rng), lowest))];
                }
            }
            grid.fill_cells({xs, ys}, colours);
            for (std::size_t i = 1; i < xs.size(); ++i) {
                for (std::size_t j = 1; j <= ny; ++j) {
                    if (const Colour c = colours[(i - 1) * ny + (j - 1)]; c != kNoColour)
                        calls.fill_rect(xs[i], ys[j], xs[i - 1], ys[j - 1], c);
                }
            }
            if (pick(rng) < 3) {
                SCOPED_TRACE(::testing::Message() << xs.size() << " edges, step " << step);
                look("a look between steps");
            }
        }
        look("the last step");
    }

    template <typename Op>
    void both(Op op) {
        op(grid);
        op(calls);
    }

    ImageDrawingBox grid{23, 17, kGrey}, calls{23, 17, kGrey};
    std::mt19937 rng{12345};
    RasterImage seen = grid.image();
    std::uint64_t seen_version = grid.version();
};

// fill_cells against the fill_rect calls it stands for, step after step, on
// grids whose cells are wider or narrower than a pixel, uneven, reversed,
// partly outside or covering the middle of others, with a clear, a new
// coordinate system, a line and new colours between. The picture is looked
// at only now and then, as a window or a saved run does: in between, steps
// where no cell is left out again wait, and what somebody sees is still the
// picture of every step drawn in turn.
// The same colours again after a rectangle drawn over the grid, a clear,
// or a new coordinate system: the cells are painted anew, not taken as
// still shown.
TEST_F(GridAgainstCalls, TheSameColoursAfterOtherDrawingArePaintedAgain) {
    const std::vector<float> edges{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    std::vector<Colour> colours(16);
    for (std::size_t k = 0; k < colours.size(); ++k)
        colours[k] = static_cast<Colour>(0x101010 * (k % 7 + 1));
    const auto paint = [&] {
        grid.fill_cells({edges, edges}, colours);
        for (std::size_t i = 1; i <= 4; ++i) {
            for (std::size_t j = 1; j <= 4; ++j)
                calls.fill_rect(edges[i], edges[j], edges[i - 1], edges[j - 1],
                                colours[(i - 1) * 4 + (j - 1)]);
        }
    };
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    paint();
    look("painted");
    both([](ImageDrawingBox& b) { b.fill_rect(0.1f, 0.9f, 0.6f, 0.2f, 0x00FF00); });
    paint();
    look("after a rectangle");
    both([](ImageDrawingBox& b) { b.cls(); });
    paint();
    look("after a clear");
    both([](ImageDrawingBox& b) {
        b.cls();
        b.scale(-0.5f, 1.5f, 1.5f, -0.5f);
    });
    paint();
    look("after a clear and a new scale");
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    paint();
    look("after a new scale");
}

TEST_F(GridAgainstCalls, FillCellsMatchesTheFillRectCallsStepAfterStep) {
    std::vector<float> fine, wide;
    for (int k = 0; k <= 40; ++k)
        fine.push_back(k / 40.0f);
    for (int k = 0; k <= 7; ++k)
        wide.push_back(k / 7.0f);
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    run_steps({-0.5f, 0.05f, 0.5f, 0.52f, 1.7f}, {3.0f, 0.7f, 0.71f, 0.1f, -2.0f}, 1000);
    run_steps(fine, fine, 1000);  // cells narrower than a pixel
    both([](ImageDrawingBox& b) { b.cls(); });
    run_steps(fine, fine, 1000);
    run_steps(wide, std::vector<float>(wide.rbegin(), wide.rend()), 3000);
    both([](ImageDrawingBox& b) { b.scale(-0.2f, 1.1f, 1.3f, -0.4f); });
    run_steps(fine, fine, 1000);
    both([](ImageDrawingBox& b) { b.line(0, 0, 1, 1, 0); });
    run_steps(wide, wide, 5000);
    both([](ImageDrawingBox& b) { b.fill_rect(0.2f, 0.8f, 0.6f, 0.3f, 0x00FF00); });
    run_steps(wide, wide, 5000);
    both([](ImageDrawingBox& b) { b.cls(); });
    run_steps(wide, wide, 5000);
    // Pixels under a cell and the one two places on but not the one between.
    both([](ImageDrawingBox& b) { b.scale(0, 1, 1, 0); });
    run_steps({0.0f, 1.0f, 0.4f, 0.6f, 0.3f, 0.95f}, {1.0f, 0.0f, 0.45f, 0.55f, 0.2f, 0.8f}, 7000,
              600);
}

// A cell painted while nobody looks and left out at the next step keeps its
// colour; whatever is drawn next comes after a paint that waits; a clear
// covers it.
TEST(ImageDrawingBox, APaintThatWaitsComesBeforeWhatFollowsOrIsCleared) {
    const std::vector<float> edges{0, 5, 10};
    ImageDrawingBox box(11, 11, kGrey);
    box.scale(0, 0, 10, 10);
    const auto paint = [&box, &edges](Colour a) {
        box.fill_cells({edges, edges}, std::vector<Colour>{a, kNoColour, kNoColour, kRed});
    };
    paint(0x123456);
    box.cls();
    paint(kNoColour);
    EXPECT_EQ(colour_at(box.image(), 2, 2), kGrey);
    paint(0x00FF00);
    paint(kNoColour);
    EXPECT_EQ(colour_at(box.image(), 2, 2), 0x00FF00);
    EXPECT_EQ(colour_at(box.image(), 8, 8), kRed);
    paint(0x0000AA);
    EXPECT_EQ(colour_at(box.image(), 2, 2), 0x0000AA);
    for (const auto& draw : std::vector<std::function<void()>>{
             [&] { box.fill_rect(1, 1, 1, 1, 0); }, [&] { box.line(1, 1, 1, 1, 0); },
             [&] { box.pset(1, 1); }}) {
        paint(0x0000FF);
        box.image();
        paint(0x0000FE);
        draw();
        EXPECT_EQ(colour_at(box.image(), 1, 1), 0);
        EXPECT_EQ(colour_at(box.image(), 2, 2), 0x0000FE);
    }
    paint(0xFF00FF);
    box.image();
    paint(0xFF00FE);  // waits for a look, which the clear comes before
    box.cls();
    EXPECT_EQ(pixels_in(box.image(), kGrey).size(), 121u);
}

}  // namespace
}  // namespace heatplate
