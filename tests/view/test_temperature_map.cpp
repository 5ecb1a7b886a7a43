// The palette and the temperature map: the colour scale, which cells are
// painted in which colour and order, and what a cell left out keeps, both
// through the image box's own path and through any other drawing box; a
// run's map against the free functions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "raster/image_drawing_box.h"
#include "tests/support/image_support.h"
#include "tests/support/map_scale.h"
#include "tests/support/recording_box.h"
#include "view/cell_colours.h"
#include "view/palette.h"
#include "view/temperature_map.h"

namespace heatplate {
namespace {

using testing::colour_at;
using testing::grid_state;
using testing::last_below_half;
using testing::RecordingBox;
using testing::scaled_mean;

constexpr Colour kGrey = 0xF0F0F0;

TEST(Palette, TellingRowsAndTheScaleFromTheInputs) {
    SimulationState s;
    colors(s);
    EXPECT_EQ(
        (std::array{s.Black, s.Red, s.Palette(0), s.Palette(1), s.Palette(2), s.Palette(127),
                    s.Palette(128), s.Palette(254), s.Palette(255), s.Palette(256)}),
        (std::array<Colour, 10>{0, 255, 0, 0xFE0001, 16580610, 8388735, 8323200, 65790, 255, 0}));
    // Each of the five inputs is the lowest or the highest somewhere.
    const std::array<double, 8> cases[] = {
        // Tfield, Tw1, Tw2, Tw3, Tw4 -> Tmin, Tmax, Trange
        {5, 7, -3, 12, 0, -3, 12, 15}, {5, 1, 2, 3, 4, 1, 5, 4},   {0, 9, 8, -7, -8, -8, 9, 17},
        {0, 3, 11, 2, 40, 0, 40, 40},  {-1, 6, 6, 6, 6, -1, 6, 7},
    };
    for (const auto& c : cases) {
        std::tie(s.Tfield, s.Tw1, s.Tw2, s.Tw3, s.Tw4) = std::tuple(c[0], c[1], c[2], c[3], c[4]);
        RecordingBox box;
        Init_Paint(s, box);
        EXPECT_EQ((std::array{s.Tmin, s.Tmax, s.Trange}), (std::array{c[5], c[6], c[7]}));
        // x grows to the right and y upwards: (0, 1) at the top left.
        ASSERT_EQ(box.calls.size(), 2u);
        EXPECT_EQ(box.calls[0].op, "scale");
        EXPECT_EQ((std::array{box.calls[0].x1, box.calls[0].y1, box.calls[0].x2, box.calls[0].y2}),
                  (std::array{0.0f, 1.0f, 1.0f, 0.0f}));
        EXPECT_EQ(box.calls[1].op, "cls");
    }
}

// Tmin is not painted, Tmax is pure red; exactly 0.5 / 255 of the range still
// gives index 0, and halves go to the even index. Columns shorter than the
// quick way's groups of cells go in one loop of their own length.
TEST(PaintTempField, IndexRoundsHalvesToEvenOnBothPaths) {
    for (const auto& size : {std::pair{1, 1}, {1, 6}, {1, 7}, {3, 5}, {2, 9}, {1, 13}}) {
        // Plain names: clang 14 lets no lambda capture a structured binding.
        const int Nx = size.first;
        const int Ny = size.second;
        SimulationState s = grid_state(Nx, Ny, 0);
        ImageDrawingBox image(163, 163, kGrey);
        const auto check = [&](double t, int expected) {
            SCOPED_TRACE(::testing::Message() << Nx << " x " << Ny << ", T " << t);
            for (int i = 0; i <= Nx; ++i) {
                for (int j = 0; j <= Ny; ++j)
                    s.T(i, j) = t;
            }
            RecordingBox box;
            Paint_TempField(s, box);
            ASSERT_EQ(box.calls.size(), expected == 0 ? 0u : static_cast<std::size_t>(Nx * Ny));
            for (const auto& c : box.calls)
                EXPECT_EQ(c.colour, s.Palette(expected));
            Init_Paint(s, image);
            Paint_TempField(s, image);
            EXPECT_EQ(colour_at(image.image(), 81, 81), expected ? s.Palette(expected) : kGrey);
        };
        check(-40, 0);
        check(100, 255);
        for (const int k : {0, 1, 2, 3, 100, 127, 128, 200, 253, 254}) {
            // The last temperature below the half, then the next.
            double t = last_below_half(k);
            check(t, k);
            t = std::nextafter(t, 1e9);
            check(t, scaled_mean(t) > k + 0.5 ? k + 1 : k + k % 2);
        }
    }
}

// A column whose first cell is left out, or lies next to a half, is worked
// out the slow, exact way; its last cell, at Tmax, is still pure red.
TEST(PaintTempField, ACellAtTmaxIsPaintedBesideAnyOtherCell) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double odd : {nan, 1000.0, last_below_half(3), last_below_half(254)}) {
        SimulationState s = grid_state(1, 3, 100);
        for (int i = 0; i <= 1; ++i)
            s.T(i, 0) = s.T(i, 1) = odd;
        RecordingBox box;
        Paint_TempField(s, box);
        ASSERT_FALSE(box.calls.empty()) << odd;
        EXPECT_EQ(box.calls.back().y1, 1.0f) << odd;  // cell (1, 3), at the top
        EXPECT_EQ(box.calls.back().colour, s.Palette(255)) << odd;
    }
}

// On a grid whose rectangles do not line up (one node moved) every cell is
// its own rectangle, between its nodes (i, j) and (i - 1, j - 1); ColorIndex
// is left at the index of the last cell that has one.
TEST(PaintTempField, AnIrregularGridPaintsEachCellBetweenItsNodes) {
    SimulationState s = grid_state(2, 3, 0);
    s.X(1, 1) = 0.4;
    for (int i = 0; i <= 2; ++i) {
        for (int j = 0; j <= 3; ++j)
            s.T(i, j) = 10 * i + j;  // every cell a different index
    }
    RecordingBox box;
    Paint_TempField(s, box);
    ASSERT_EQ(box.calls.size(), 6u);
    std::size_t k = 0;
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 3; ++j, ++k) {
            const auto& c = box.calls[k];
            EXPECT_EQ((std::array{c.x1, c.y1, c.x2, c.y2}),
                      (std::array{static_cast<float>(s.X(i, j)), static_cast<float>(s.Y(i, j)),
                                  static_cast<float>(s.X(i - 1, j - 1)),
                                  static_cast<float>(s.Y(i - 1, j - 1))}))
                << i << ',' << j;
        }
    }
    // The last cell's mean is (23 + 22 + 12 + 13) / 4 = 17.5.
    EXPECT_EQ(s.ColorIndex, static_cast<std::int16_t>(std::nearbyint(scaled_mean(17.5))));
}

TEST(PaintTempField, CellLeftOutKeepsItsLastColourOnBothPaths) {
    SimulationState s = grid_state(1, 1, -40);
    ImageDrawingBox image(163, 163, kGrey);
    Init_Paint(s, image);
    s.T(1, 1) = 360;  // mean 60: index 255 * 100 / 140 = 182.1
    Paint_TempField(s, image);
    EXPECT_EQ(colour_at(image.image(), 81, 81), s.Palette(182));
    for (const double corner : {-40.0, 524.0, std::numeric_limits<double>::quiet_NaN()}) {
        s.T(1, 1) = corner;  // index 0, above Tmax, not a number
        RecordingBox box;
        Paint_TempField(s, box);
        EXPECT_TRUE(box.calls.empty()) << corner;
        Paint_TempField(s, image);
        EXPECT_EQ(colour_at(image.image(), 81, 81), s.Palette(182)) << corner;
    }
}

// A run's map takes the grid at its first step and then paints, step after step,
// what the free functions paint, with cells that leave the scale and come
// back; the next run, on an irregular grid of the same size, gets its own.
TEST(TemperatureMap, PaintsWhatThePlainFunctionsPaintStepAfterStep) {
    TemperatureMap map;
    for (const bool irregular : {false, true}) {
        SCOPED_TRACE(irregular ? "irregular" : "regular");
        SimulationState a = grid_state(7, 11, -40);
        if (irregular) {
            a.X(3, 4) = 0.5;
        }
        SimulationState b = a;
        ImageDrawingBox image_a(163, 163, kGrey), image_b(163, 163, kGrey);
        map.Init_Paint(a, image_a);
        Init_Paint(b, image_b);
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> t(-60, 120);
        for (int step = 0; step < 30; ++step) {
            for (int i = 0; i <= 7; ++i) {
                for (int j = 0; j <= 11; ++j) {
                    a.T(i, j) = b.T(i, j) = rng() % 3 == 0 ? t(rng) : a.T(i, j);
                }
            }
            map.Paint_TempField(a, image_a);
            Paint_TempField(b, image_b);
            ASSERT_EQ(image_a.image(), image_b.image()) << "step " << step;
            ASSERT_EQ(a.ColorIndex, b.ColorIndex) << "step " << step;
        }
    }
    // A state that changes its size without a new Init_Paint gets a grid of
    // that size all the same.
    SimulationState a = grid_state(7, 11, 60);
    SimulationState b = a;
    ImageDrawingBox image_a(163, 163, kGrey), image_b(163, 163, kGrey);
    map.Init_Paint(a, image_a);
    Init_Paint(b, image_b);
    map.Paint_TempField(a, image_a);
    Paint_TempField(b, image_b);
    a = b = grid_state(13, 5, 90);
    map.Paint_TempField(a, image_a);
    Paint_TempField(b, image_b);
    EXPECT_EQ(image_a.image(), image_b.image());
}

}  // namespace
}  // namespace heatplate
