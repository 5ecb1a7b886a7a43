// The oblique 3-D view: the angle, the projected corners and the box's
// extent, and the calls that draw frame, axis and row curves.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

#include "tests/support/recording_box.h"
#include "view/palette.h"
#include "view/view3d.h"

namespace heatplate {
namespace {

using testing::RecordingBox;
using Call = RecordingBox::Call;

TEST(InitD3Graph, CornersAndExtentFollowTheAngle) {
    struct Angle {
        const char* text;
        double sin, cos;
    };
    for (const Angle a : {Angle{"30", 0.49999999999999994, 0.8660254037844387},
                          {"0", 0, 1},
                          {"90", 1, 6.123233995736766e-17},
                          {"abc", 0, 1}}) {
        SCOPED_TRACE(a.text);
        SimulationState s;
        RecordingBox box;
        Init_D3_Graph(s, a.text, box);
        EXPECT_EQ((std::array{s.SinAlfa, s.CosAlfa, s.Xc1, s.Yc1, s.Xc2, s.Yc2, s.Xc3, s.Yc3, s.Xc4,
                              s.Yc4}),
                  (std::array{a.sin, a.cos, 0.0, 0.0, 1.0, 0.0, a.cos + 1, a.sin, a.cos, a.sin}));
        ASSERT_EQ(box.calls.size(), 1u);  // scaled, not cleared
        const Call& c = box.calls[0];
        EXPECT_EQ(c.op, "scale");
        EXPECT_EQ((std::array{c.x1, c.y1, c.x2, c.y2}),
                  (std::array{-0.1f, static_cast<float>(a.sin + 1.1),
                              static_cast<float>((a.cos + 1) + 0.1), -0.3f}));
    }
}

// An Nx x Ny grid with Tmin 20 and Tmax 100 at the angle 30, nodes told
// apart by their temperatures.
SimulationState view_state(int Nx, int Ny, const char* angle = "30") {
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
    s.Tmin = 20;  // heights start at 0, not at Tmin
    s.Tmax = 100;
    colors(s);
    RecordingBox ignored;
    Init_D3_Graph(s, angle, ignored);
    return s;
}

std::string ops(const RecordingBox& box) {
    std::string out;
    for (const Call& c : box.calls)
        out += c.op + ' ';
    return out;
}

void expect_point(const Call& c, const SimulationState& s, int i, int j) {
    SCOPED_TRACE(::testing::Message() << c.op << " to node " << i << ',' << j);
    EXPECT_EQ(c.x1, static_cast<float>(s.X(i, j) + (s.CosAlfa * s.Y(i, j))));
    EXPECT_EQ(c.y1, static_cast<float>((s.T(i, j) / s.Tmax) + (s.SinAlfa * s.Y(i, j))));
    EXPECT_EQ(c.colour, c.op == "pset" ? 0 : 255);
}

// The base's front, back, right and left edges, then the axis up from the
// front-left corner, all in black, at three angles.
TEST(D3Graph, DrawsTheBaseAndTheAxisFromTheProjectedCorners) {
    for (const char* angle : {"30", "0", "90"}) {
        SCOPED_TRACE(angle);
        const SimulationState s = view_state(3, 2, angle);
        RecordingBox box;
        D3_Graph(s, box);
        ASSERT_GE(box.calls.size(), 6u);
        const auto c = static_cast<float>(s.CosAlfa);
        const auto n = static_cast<float>(s.SinAlfa);
        const auto c1 = static_cast<float>(s.CosAlfa + 1);
        const auto n1 = static_cast<float>(s.SinAlfa + 1);
        const std::array<std::array<float, 4>, 5> edges{{
            {0, 0, 1, 0},
            {c, n, c1, n},
            {1, 0, c1, n},
            {0, 0, c, n},
            {0, 0, 0, n1},
        }};
        for (std::size_t k = 0; k < edges.size(); ++k) {
            const Call& l = box.calls[k + 1];
            EXPECT_EQ(l.op, "line") << k;
            EXPECT_EQ((std::array{l.x1, l.y1, l.x2, l.y2}), edges[k]) << "line " << k;
            EXPECT_EQ(l.colour, 0) << k;
        }
    }
}

// Frame and axis, then one curve per row; the wall rows leave out their
// corner nodes, so on two intervals they are single points. Zero Tmax leaves
// frame and axis alone, and a point that is not finite breaks its curve.
TEST(D3Graph, ClearsDrawsFrameAndAxisThenOneCurvePerRow) {
    SimulationState s = view_state(2, 2);
    RecordingBox box;
    D3_Graph(s, box);
    ASSERT_EQ(ops(box), "cls line line line line line pset pset line_to line_to pset ");
    expect_point(box.calls[6], s, 1, 0);
    expect_point(box.calls[7], s, 0, 1);
    expect_point(box.calls[8], s, 1, 1);
    expect_point(box.calls[9], s, 2, 1);
    expect_point(box.calls[10], s, 1, 2);

    s = view_state(4, 2);
    s.Tmax = 0;
    box.calls.clear();
    D3_Graph(s, box);
    EXPECT_EQ(ops(box), "cls line line line line line ");
    s.Tmax = -50;  // every input below 0: the heights are defined, the curves drawn
    box.calls.clear();
    D3_Graph(s, box);
    EXPECT_EQ(ops(box),
              "cls line line line line line pset line_to line_to pset line_to line_to "
              "line_to line_to pset line_to line_to ");
    expect_point(box.calls[10], s, 1, 1);

    s.Tmax = 100;
    s.T(2, 1) = std::numeric_limits<double>::quiet_NaN();
    s.T(3, 1) = 1e300;  // finite, but its height overflows a float
    box.calls.clear();
    D3_Graph(s, box);
    ASSERT_EQ(ops(box),
              "cls line line line line line pset line_to line_to "
              "pset line_to pset pset line_to line_to ");
    expect_point(box.calls[9], s, 0, 1);
    expect_point(box.calls[10], s, 1, 1);
    expect_point(box.calls[11], s, 4, 1);
}

}  // namespace
}  // namespace heatplate
