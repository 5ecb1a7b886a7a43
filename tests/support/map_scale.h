#pragma once

#include <cmath>

#include "model/simulation_state.h"
#include "tests/support/recording_box.h"
#include "view/palette.h"
#include "view/temperature_map.h"

namespace heatplate::testing {

// An Nx x Ny grid over the unit plate with every node at t, after colors and
// Init_Paint with four different walls and a field below them: the scale
// runs from Tmin -40 to Tmax 100.
inline SimulationState grid_state(int Nx, int Ny, double t) {
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
    s.Tw1 = 100;
    s.Tw2 = 60;
    s.Tw3 = 80;
    s.Tw4 = 70;
    s.Tfield = -40;
    colors(s);
    RecordingBox ignored;
    Init_Paint(s, ignored);
    return s;
}

// 255 times the place of a cell mean t on the scale from -40 to 100.
inline double scaled_mean(double t) {
    return 255 * (((((t + t) + t) + t) / 4 - -40.0) / 140);
}

// The highest temperature whose scaled mean lies below k + 0.5.
inline double last_below_half(int k) {
    const double half = k + 0.5;
    double t = half / 255 * 140 - 40;
    while (scaled_mean(t) >= half)
        t = std::nextafter(t, -1e9);
    while (scaled_mean(std::nextafter(t, 1e9)) < half)
        t = std::nextafter(t, 1e9);
    return t;
}

}  // namespace heatplate::testing
