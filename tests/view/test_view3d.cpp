// The oblique 3-D view: the angle, the projected corners and the box's
// extent, and the calls that draw frame, axis and row curves.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "tests/support/recording_box.h"
#include "view/palette.h"
#include "view/view3d.h"

namespace heatplate {
namespace {

using testing::RecordingBox;
using Call = RecordingBox::Call;

struct Angle {
    const char* text;
    double sin, cos;
};

class InitD3Graph : public ::testing::TestWithParam<Angle> {};

TEST_P(InitD3Graph, CornersAndExtentFollowTheAngle) {
    const Angle a = GetParam();
    SimulationState s;
    RecordingBox box;
    Init_D3_Graph(s, a.text, box);
    EXPECT_EQ(s.SinAlfa, a.sin);
    EXPECT_EQ(s.CosAlfa, a.cos);
    EXPECT_EQ((std::array{s.Xc1, s.Yc1, s.Xc2, s.Yc2, s.Xc3, s.Yc3, s.Xc4, s.Yc4}),
              (std::array{0.0, 0.0, 1.0, 0.0, a.cos + 1, a.sin, a.cos, a.sin}));
    // Scaled, not cleared: (-0.1, sin + 1.1) at the top left, (cos + 1.1, -0.3)
    // at the bottom right.
    ASSERT_EQ(box.calls.size(), 1u);
    const Call& c = box.calls[0];
    EXPECT_EQ(c.op, "scale");
    EXPECT_EQ((std::array{c.x1, c.y1, c.x2, c.y2}),
              (std::array{-0.1f, static_cast<float>(a.sin + 1.1),
                          static_cast<float>((a.cos + 1) + 0.1), -0.3f}));
}

INSTANTIATE_TEST_SUITE_P(
    Angles, InitD3Graph,
    ::testing::Values(Angle{"30", 0.49999999999999994, 0.8660254037844387}, Angle{"0", 0, 1},
                      Angle{"90", 1, 6.123233995736766e-17},
                      // Read as the input boxes are; too large a number is no number.
                      Angle{"abc", 0, 1}, Angle{" 9 0deg", 1, 6.123233995736766e-17},
                      Angle{"1e999", 0, 1}),
    [](const ::testing::TestParamInfo<Angle>& info) {
        return "Text" + std::to_string(info.index);
    });

// An Nx x Ny grid with Tmax 100 at the angle 30, nodes told apart by their
// temperatures.
SimulationState view_state(int Nx, int Ny) {
    SimulationState s;
    s.Nx = Nx;
    s.Ny = Ny;
    s.Nx1 = Nx - 1;
    s.Ny1 = Ny - 1;
    for (int i = 0; i <= Nx; ++i) {
        for (int j = 0; j <= Ny; ++j) {
            s.X(i, j) = 1.0 / Nx * i;
            s.Y(i, j) = 1.0 / Ny * j;
            s.T(i, j) = 10 * i + j;
        }
    }
    s.Tmax = 100;
    colors(s);
    RecordingBox ignored;
    Init_D3_Graph(s, "30", ignored);
    return s;
}

void expect_line(const Call& c, double x1, double y1, double x2, double y2) {
    EXPECT_EQ(c.op, "line");
    EXPECT_EQ((std::array{c.x1, c.y1, c.x2, c.y2}),
              (std::array{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                          static_cast<float>(y2)}));
    EXPECT_EQ(c.colour, 0);
}

void expect_point(const Call& c, const char* op, const SimulationState& s, int i, int j) {
    SCOPED_TRACE(::testing::Message() << op << " to node " << i << ',' << j);
    EXPECT_EQ(c.op, op);
    EXPECT_EQ(c.x1, static_cast<float>(s.X(i, j) + (s.CosAlfa * s.Y(i, j))));
    EXPECT_EQ(c.y1, static_cast<float>((s.T(i, j) / s.Tmax) + (s.SinAlfa * s.Y(i, j))));
    EXPECT_EQ(c.colour, std::string(op) == "pset" ? 0 : 255);
}

TEST(D3Graph, ClearsDrawsFrameAndAxisThenOneCurvePerRow) {
    const SimulationState s = view_state(3, 2);
    RecordingBox box;
    D3_Graph(s, box);
    ASSERT_EQ(box.calls.size(), 1u + 5u + 2u + 4u + 2u);
    EXPECT_EQ(box.calls[0].op, "cls");
    const double c = s.CosAlfa, sn = s.SinAlfa;
    expect_line(box.calls[1], 0, 0, 1, 0);
    expect_line(box.calls[2], c, sn, c + 1, sn);
    expect_line(box.calls[3], 1, 0, c + 1, sn);
    expect_line(box.calls[4], 0, 0, c, sn);
    expect_line(box.calls[5], 0, 0, 0, sn + 1);
    // The wall rows leave out their corner nodes.
    expect_point(box.calls[6], "pset", s, 1, 0);
    expect_point(box.calls[7], "line_to", s, 2, 0);
    expect_point(box.calls[8], "pset", s, 0, 1);
    for (int i = 1; i <= 3; ++i)
        expect_point(box.calls[8 + i], "line_to", s, i, 1);
    expect_point(box.calls[12], "pset", s, 1, 2);
    expect_point(box.calls[13], "line_to", s, 2, 2);
}

TEST(D3Graph, WallRowsOfATwoIntervalGridAreSinglePoints) {
    const SimulationState s = view_state(2, 3);
    RecordingBox box;
    D3_Graph(s, box);
    ASSERT_EQ(box.calls.size(), 1u + 5u + 1u + 3u + 3u + 1u);
    expect_point(box.calls[6], "pset", s, 1, 0);
    expect_point(box.calls[7], "pset", s, 0, 1);
    expect_point(box.calls[13], "pset", s, 1, 3);
}

TEST(D3Graph, ZeroTmaxShowsFrameAndAxisAlone) {
    SimulationState empty;  // before any run
    RecordingBox box;
    Init_D3_Graph(empty, "60", box);
    D3_Graph(empty, box);
    ASSERT_EQ(box.calls.size(), 1u + 1u + 5u);
    for (const Call& c : box.calls) {
        EXPECT_TRUE(std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) &&
                    std::isfinite(c.y2));
    }
    SimulationState s = view_state(4, 4);
    s.Tmax = 0;
    box.calls.clear();
    D3_Graph(s, box);
    EXPECT_EQ(box.calls.size(), 6u);
}

TEST(D3Graph, PointsThatAreNotFiniteBreakTheCurve) {
    SimulationState s = view_state(4, 2);
    s.T(2, 1) = std::numeric_limits<double>::quiet_NaN();
    s.T(3, 1) = 1e300;  // finite, but its height overflows a float
    RecordingBox box;
    D3_Graph(s, box);
    ASSERT_EQ(box.calls.size(), 1u + 5u + 3u + 3u + 3u);
    expect_point(box.calls[9], "pset", s, 0, 1);
    expect_point(box.calls[10], "line_to", s, 1, 1);
    expect_point(box.calls[11], "pset", s, 4, 1);
}

}  // namespace
}  // namespace heatplate
