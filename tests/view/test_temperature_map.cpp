// The palette and the temperature map: the colour scale, which cells are
// painted in which colour and order, and what a cell left out keeps, both
// through the image box's own path and through any other drawing box.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/image_drawing_box.h"
#include "tests/support/recording_box.h"
#include "tests/view/view_test_support.h"
#include "view/palette.h"
#include "view/temperature_map.h"

namespace heatplate {
namespace {

using testing::colour_at;
using testing::RecordingBox;

constexpr Colour kGrey = 0xF0F0F0;

// An Nx x Ny grid over the unit plate with every node at t, after colors and
// Init_Paint with the default inputs (walls 100, field 0).
SimulationState grid_state(int Nx, int Ny, double t) {
    SimulationState s;
    s.Nx = Nx;
    s.Ny = Ny;
    for (int i = 0; i <= Nx; ++i) {
        for (int j = 0; j <= Ny; ++j) {
            s.X(i, j) = 1.0 / Nx * i;
            s.Y(i, j) = 1.0 / Ny * j;
            s.T(i, j) = t;
        }
    }
    s.Tw1 = s.Tw2 = s.Tw3 = s.Tw4 = 100;
    colors(s);
    RecordingBox ignored;
    Init_Paint(s, ignored);
    return s;
}

TEST(Palette, TellingRowsAndTheScaleFromTheInputs) {
    SimulationState s;
    colors(s);
    EXPECT_EQ(
        (std::array{s.Black, s.Red, s.Palette(0), s.Palette(1), s.Palette(2), s.Palette(127),
                    s.Palette(128), s.Palette(254), s.Palette(255), s.Palette(256)}),
        (std::array<Colour, 10>{0, 255, 0, 0xFE0001, 16580610, 8388735, 8323200, 65790, 255, 0}));
    s.Tfield = 5;
    s.Tw1 = 7;
    s.Tw2 = -3;
    s.Tw3 = 12;
    RecordingBox box;
    Init_Paint(s, box);
    EXPECT_EQ((std::array{s.Tmin, s.Tmax, s.Trange}), (std::array{-3.0, 12.0, 15.0}));
}

// Tmin is not painted, Tmax is pure red; exactly 0.5 / 255 of the range still
// gives index 0, and halves go to the even index. On a 1 x Ny grid a column of
// cells is worked two cells at a time, the last odd one alone.
TEST(PaintTempField, IndexRoundsHalvesToEvenOnBothPaths) {
    const auto scaled_mean = [](double t) { return 255 * (((((t + t) + t) + t) / 4 - 0) / 100); };
    for (const int Ny : {1, 6, 7}) {
        SimulationState s = grid_state(1, Ny, 0);
        ImageDrawingBox image(163, 163, kGrey);
        const auto check = [&](double t, int expected) {
            SCOPED_TRACE(::testing::Message() << "Ny " << Ny << ", T " << t);
            for (int i = 0; i <= 1; ++i) {
                for (int j = 0; j <= Ny; ++j)
                    s.T(i, j) = t;
            }
            RecordingBox box;
            Paint_TempField(s, box);
            ASSERT_EQ(box.calls.size(), expected == 0 ? 0u : static_cast<std::size_t>(Ny));
            for (const auto& c : box.calls)
                EXPECT_EQ(c.colour, s.Palette(expected));
            Init_Paint(s, image);
            Paint_TempField(s, image);
            EXPECT_EQ(colour_at(image.image(), 81, 81), expected ? s.Palette(expected) : kGrey);
        };
        check(0, 0);
        check(100, 255);
        for (int k = 0; k <= 60; ++k) {
            // The last temperature whose scaled mean lies below k + 0.5, then the next.
            const double half = k + 0.5;
            double t = half / 255 * 100;
            while (scaled_mean(t) >= half)
                t = std::nextafter(t, 0.0);
            while (scaled_mean(std::nextafter(t, 1e9)) < half)
                t = std::nextafter(t, 1e9);
            check(t, k);
            t = std::nextafter(t, 1e9);
            check(t, scaled_mean(t) > half ? k + 1 : k + k % 2);
        }
    }
}

TEST(PaintTempField, CellLeftOutKeepsItsLastColourOnBothPaths) {
    SimulationState s = grid_state(1, 1, 0);
    ImageDrawingBox image(163, 163, kGrey);
    Init_Paint(s, image);
    s.T(1, 1) = 4 * 60.0;  // mean 60: index 153
    Paint_TempField(s, image);
    EXPECT_EQ(colour_at(image.image(), 81, 81), s.Palette(153));
    for (const double corner : {0.0, 4 * 101.0, std::numeric_limits<double>::quiet_NaN()}) {
        s.T(1, 1) = corner;  // index 0, above Tmax, not a number
        RecordingBox box;
        Paint_TempField(s, box);
        EXPECT_TRUE(box.calls.empty()) << corner;
        Paint_TempField(s, image);
        EXPECT_EQ(colour_at(image.image(), 81, 81), s.Palette(153)) << corner;
    }
}

}  // namespace
}  // namespace heatplate
