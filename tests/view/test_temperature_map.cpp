// The palette and the temperature map: colour values, the colour scale,
// which cells are painted in which colour and order, and what a cell left
// out keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "platform/image_drawing_box.h"
#include "tests/support/recording_box.h"
#include "tests/view/view_test_support.h"
#include "view/palette.h"
#include "view/temperature_map.h"

namespace heatplate {
namespace {

using testing::colour_at;
using testing::ForwardingBox;
using testing::RecordingBox;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Palette, TellingRowsAndUnusedEnds) {
    SimulationState s;
    colors(s);
    EXPECT_EQ(s.Black, 0);
    EXPECT_EQ(s.Red, 255);
    EXPECT_EQ(s.Palette(1), 0xFE0001);
    EXPECT_EQ(s.Palette(2), 16580610);
    EXPECT_EQ(s.Palette(127), 8388735);
    EXPECT_EQ(s.Palette(128), 8323200);
    EXPECT_EQ(s.Palette(254), 65790);
    EXPECT_EQ(s.Palette(255), 255);
    EXPECT_EQ(s.Palette(0), 0);
    EXPECT_EQ(s.Palette(256), 0);
}

// An Nx x Ny grid over the unit plate with the given inputs, after colors.
SimulationState grid_state(int Nx, int Ny, double Tfield = 0, double Tw1 = 100, double Tw2 = 100,
                           double Tw3 = 100, double Tw4 = 100) {
    SimulationState s;
    s.Nx = Nx;
    s.Ny = Ny;
    for (int i = 0; i <= Nx; ++i) {
        for (int j = 0; j <= Ny; ++j) {
            s.X(i, j) = 1.0 / Nx * i;
            s.Y(i, j) = 1.0 / Ny * j;
        }
    }
    s.Tfield = Tfield;
    s.Tw1 = Tw1;
    s.Tw2 = Tw2;
    s.Tw3 = Tw3;
    s.Tw4 = Tw4;
    colors(s);
    RecordingBox ignored;
    Init_Paint(s, ignored);
    return s;
}

void fill_field(SimulationState& s, double t) {
    for (int i = 0; i <= static_cast<int>(s.Nx); ++i) {
        for (int j = 0; j <= static_cast<int>(s.Ny); ++j)
            s.T(i, j) = t;
    }
}

TEST(InitPaint, ScalesThenClearsAndTakesTheScaleFromTheInputs) {
    SimulationState s = grid_state(4, 4, 5, 7, -3, 12, 0);
    EXPECT_EQ(s.Tmin, -3);
    EXPECT_EQ(s.Tmax, 12);
    EXPECT_EQ(s.Trange, 15);
    RecordingBox box;
    Init_Paint(s, box);
    ASSERT_EQ(box.calls.size(), 2u);
    EXPECT_EQ(box.calls[0].op, "scale");
    EXPECT_EQ((std::array{box.calls[0].x1, box.calls[0].y1, box.calls[0].x2, box.calls[0].y2}),
              (std::array{0.0f, 1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(box.calls[1].op, "cls");
}

TEST(PaintTempField, PaintsColumnByColumnBetweenTheCellsCorners) {
    SimulationState s = grid_state(3, 2);
    fill_field(s, 100);  // at Tmax: pure red
    RecordingBox box;
    Paint_TempField(s, box);
    ASSERT_EQ(box.calls.size(), 6u);
    std::size_t n = 0;
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 2; ++j) {
            const RecordingBox::Call& c = box.calls[n++];
            EXPECT_EQ((std::array{c.x1, c.y1, c.x2, c.y2}),
                      (std::array{static_cast<float>(s.X(i, j)), static_cast<float>(s.Y(i, j)),
                                  static_cast<float>(s.X(i - 1, j - 1)),
                                  static_cast<float>(s.Y(i - 1, j - 1))}));
            EXPECT_EQ(c.colour, 255);
        }
    }
}

// Every node at t: every cell has the same mean. On a 1 x Ny grid the
// columns of several cells go two cells at a time, the last odd one alone.
double scaled_mean(double t) {
    return 255 * (((((t + t) + t) + t) / 4 - 0) / 100);
}

// A node temperature whose scaled mean lies just below `value` (side -1),
// exactly on it (side 0, if any does) or just above it (side 1).
std::optional<double> uniform_giving(double value, int side) {
    double t = value / 255 * 100;
    while (scaled_mean(t) >= value)
        t = std::nextafter(t, -1e9);
    while (scaled_mean(std::nextafter(t, 1e9)) < value)
        t = std::nextafter(t, 1e9);
    if (side < 0)
        return t;
    t = std::nextafter(t, 1e9);
    if (side == 0)
        return scaled_mean(t) == value ? std::optional(t) : std::nullopt;
    while (scaled_mean(t) <= value)
        t = std::nextafter(t, 1e9);
    return t;
}

TEST(PaintTempField, IndexRoundsHalvesToEvenAndZeroIsNotPainted) {
    for (const int Ny : {1, 6, 7}) {
        SimulationState s = grid_state(1, Ny);
        for (int k = 0; k <= 60; ++k) {
            for (const int side : {-1, 0, 1}) {
                const std::optional<double> t = uniform_giving(k + 0.5, side);
                if (!t)
                    continue;
                fill_field(s, *t);
                RecordingBox box;
                Paint_TempField(s, box);
                const int expected = side < 0 ? k : side > 0 ? k + 1 : k + k % 2;
                SCOPED_TRACE(::testing::Message()
                             << "Ny " << Ny << ", " << k << ".5 side " << side);
                // The threshold of the default inputs: exactly 0.5 / 255 of
                // the range still gives index 0.
                ASSERT_EQ(box.calls.size(), expected == 0 ? 0u : static_cast<std::size_t>(Ny));
                for (const auto& c : box.calls)
                    EXPECT_EQ(c.colour, s.Palette(expected));
            }
        }
        fill_field(s, 0);  // at Tmin
        RecordingBox box;
        Paint_TempField(s, box);
        EXPECT_TRUE(box.calls.empty());
    }
}

TEST(PaintTempField, OutsideTheRangeNotANumberOrZeroRangePaintNothing) {
    SimulationState s = grid_state(2, 3);
    s.ColorIndex = 77;
    for (const double t : {std::nextafter(100.0, 200.0), -1e-300, kNaN}) {
        fill_field(s, t);
        RecordingBox box;
        Paint_TempField(s, box);
        EXPECT_TRUE(box.calls.empty()) << t;
    }
    EXPECT_EQ(s.ColorIndex, 77);  // no index was taken

    SimulationState flat = grid_state(4, 4, 50, 50, 50, 50, 50);
    EXPECT_EQ(flat.Trange, 0);
    fill_field(flat, 50);
    RecordingBox box;
    Paint_TempField(flat, box);
    EXPECT_TRUE(box.calls.empty());
}

// The map painted through the image box itself and through a box that only
// passes the calls on, so both ways of painting are checked.
class MapPicture : public ::testing::TestWithParam<bool> {
  protected:
    ImageDrawingBox image_{163, 163, 0xF0F0F0};
    ForwardingBox forward_{image_};
    DrawingBox& box() { return GetParam() ? static_cast<DrawingBox&>(forward_) : image_; }
};

TEST_P(MapPicture, CellLeftOutKeepsItsLastColour) {
    SimulationState s = grid_state(1, 1);
    Init_Paint(s, box());
    fill_field(s, 0);
    s.T(1, 1) = 4 * 60.0;  // mean 60: index 153
    Paint_TempField(s, box());
    EXPECT_EQ(colour_at(image_.image(), 81, 81), s.Palette(153));
    for (const double corner : {0.0, 4 * 101.0, kNaN}) {  // index 0, above Tmax, not a number
        s.T(1, 1) = corner;
        Paint_TempField(s, box());
        EXPECT_EQ(colour_at(image_.image(), 81, 81), s.Palette(153)) << corner;
    }
}

TEST_P(MapPicture, SharedBordersGoToTheCellPaintedLater) {
    SimulationState s = grid_state(2, 1);
    Init_Paint(s, box());
    fill_field(s, 100);
    s.T(0, 0) = s.T(0, 1) = 0;  // left cell mean 50: 127.5 rounds to 128
    Paint_TempField(s, box());
    EXPECT_EQ(colour_at(image_.image(), 40, 80), s.Palette(128));
    EXPECT_EQ(colour_at(image_.image(), 81, 80), 255);  // the border column
    s.T(2, 0) = s.T(2, 1) = 300;                        // right cell left out
    Paint_TempField(s, box());
    EXPECT_EQ(colour_at(image_.image(), 81, 80), s.Palette(128));
    EXPECT_EQ(colour_at(image_.image(), 120, 80), 255);
}

INSTANTIATE_TEST_SUITE_P(DirectAndForwarded, MapPicture, ::testing::Bool());

TEST(PaintTempField, ImageBoxGivesThePictureOfTheCallsEveryStep) {
    // A field wandering above, below and inside the scale; for two steps
    // one node is moved off the regular grid.
    for (const int n : {20, 101}) {
        SimulationState s = grid_state(n, n);
        ImageDrawingBox direct(163, 163, 0), reference(163, 163, 0);
        ForwardingBox forwarded(reference);
        Init_Paint(s, direct);
        Init_Paint(s, forwarded);
        for (int step = 0; step < 30; ++step) {
            for (int i = 0; i <= n; ++i) {
                for (int j = 0; j <= n; ++j) {
                    s.T(i, j) = 55 + 60 * std::sin(0.37 * i * (step % 7 + 1) + 0.23 * j - step);
                }
            }
            s.X(3, 2) = step == 10 || step == 11 ? 0.5 : s.X(3, 0);
            Paint_TempField(s, direct);
            const std::int16_t index = s.ColorIndex;
            Paint_TempField(s, forwarded);
            ASSERT_EQ(direct.image(), reference.image()) << "n " << n << ", step " << step;
            ASSERT_EQ(index, s.ColorIndex);
        }
    }
}

}  // namespace
}  // namespace heatplate
