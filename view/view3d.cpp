#include "view/view3d.h"

#include <cmath>

#include "model/grid.h"
#include "numbers/number_parse.h"

namespace heatplate {

void Init_D3_Graph(SimulationState& s, std::string_view alfa_text, DrawingBox& Picture_3DGraph) {
    const double pi = 4 * std::atan(1.0);
    double alfa = parse_leading_number(alfa_text);
    // A number too large for a double reads as infinite, and an infinite
    // angle has no sine; it is taken like a text without a number.
    if (!std::isfinite(alfa)) {
        alfa = 0;
    }
    s.SinAlfa = std::sin((pi * alfa) / 180);
    s.CosAlfa = std::cos((pi * alfa) / 180);

    s.Xc1 = 0;
    s.Yc1 = 0;
    s.Xc2 = 1;
    s.Yc2 = 0;
    s.Xc3 = s.CosAlfa + 1;
    s.Yc3 = s.SinAlfa;
    s.Xc4 = s.CosAlfa;
    s.Yc4 = s.Yc3;
    scale_D3_Graph(s, Picture_3DGraph);
}

void scale_D3_Graph(const SimulationState& s, DrawingBox& Picture_3DGraph) {
    Picture_3DGraph.scale(static_cast<float>(s.Xc1 - 0.1), static_cast<float>(s.Yc3 + 1.1),
                          static_cast<float>(s.Xc3 + 0.1), static_cast<float>(s.Yc1 - 0.3));
}

void D3_Graph(const SimulationState& s, DrawingBox& Picture_3DGraph) {
    DrawingBox& box = Picture_3DGraph;
    auto line = [&box](double x1, double y1, double x2, double y2, Colour colour) {
        box.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                 static_cast<float>(y2), colour);
    };

    box.cls();
    line(s.Xc1, s.Yc1, s.Xc2, s.Yc2, s.Black);
    line(s.Xc4, s.Yc3, s.Xc3, s.Yc3, s.Black);
    line(s.Xc2, s.Yc2, s.Xc3, s.Yc3, s.Black);
    line(s.Xc1, s.Yc1, s.Xc4, s.Yc4, s.Black);
    line(s.Xc1, s.Yc1, s.Xc1, s.Yc4 + 1, s.Black);

    // Heights are T / Tmax: with Tmax 0 (before the first run, or in a run
    // whose highest input is 0) they are not numbers, so the frame and the
    // axis stand alone.
    if (!(s.Tmax != 0)) {
        return;
    }
    const int Nx = grid_extent(s.Nx);
    const int Ny = grid_extent(s.Ny);
    if (Nx < 0 || Ny < 0) {
        return;
    }
    // Nx1 is Nx - 1, from -1 up.
    const int Nx1 = grid_extent(s.Nx1 + 1) - 1;

    for (int j = 0; j <= Ny; ++j) {
        int first = 0;
        int last = Nx;
        if (j == 0 || j == Ny) {
            first = 1;
            last = Nx1;
        }
        // A point whose height is not a finite number (a field that has run
        // away) is left out and breaks the curve; the next good point starts
        // a new piece the way a row's first point does.
        bool drawing = false;
        for (int i = first; i == first || i <= last; ++i) {
            const double x = s.X(i, j) + (s.CosAlfa * s.Y(i, j));
            const double y = (s.T(i, j) / s.Tmax) + (s.SinAlfa * s.Y(i, j));
            const auto px = static_cast<float>(x);
            const auto py = static_cast<float>(y);
            if (!std::isfinite(px) || !std::isfinite(py)) {
                drawing = false;
            } else if (!drawing) {
                box.pset(px, py);
                drawing = true;
            } else {
                box.line_to(px, py, s.Red);
            }
        }
    }
}

}  // namespace heatplate
