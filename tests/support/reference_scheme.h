#pragma once

// The two methods and a whole run written out plainly, one node and one
// grid line at a time, straight from their formulas. The product's code is
// vectorised and reordered for speed; these are what it must equal to the
// bit.

#include <cmath>
#include <vector>

#include "model/simulation_state.h"

namespace heatplate::testing {

// Row k of the system held in A, B, C, D:
//   A(k) x(k-1) + B(k) x(k) + C(k) x(k+1) = D(k), k = 1..N.
inline void reference_thomas(SimulationState& s, int N) {
    std::vector<double> Bmod(static_cast<std::size_t>(N) + 1);
    std::vector<double> Dmod(static_cast<std::size_t>(N) + 1);
    Bmod[1] = s.B(1);
    Dmod[1] = s.D(1);
    for (int i = 2; i <= N; ++i) {
        Bmod[i] = s.B(i) - (s.C(i - 1) * s.A(i)) / Bmod[i - 1];
        Dmod[i] = s.D(i) - (Dmod[i - 1] * s.A(i)) / Bmod[i - 1];
    }
    s.D(N) = Dmod[N] / Bmod[N];
    for (int i = N - 1; i >= 1; --i)
        s.D(i) = (Dmod[i] - s.D(i + 1) * s.C(i)) / Bmod[i];
}

inline void reference_explicit(SimulationState& s, int Nx1, int Ny1) {
    for (int i = 1; i <= Nx1; ++i) {
        for (int j = 1; j <= Ny1; ++j) {
            const NodeArray& o = s.Told;
            const double Sx = s.dx * ((o(i - 1, j) - 2 * o(i, j)) + o(i + 1, j));
            const double Sy = s.dy * ((o(i, j - 1) - 2 * o(i, j)) + o(i, j + 1));
            s.T(i, j) = (o(i, j) + Sx) + Sy;
        }
    }
}

inline void reference_ADI(SimulationState& s, int Nx1, int Ny1) {
    const int Nx = static_cast<int>(s.Nx);
    const int Ny = static_cast<int>(s.Ny);
    for (int j = 1; j <= Ny1; ++j) {
        const double P = -(2 * s.dx + 1);
        for (int i = 1; i <= Nx1; ++i) {
            s.A(i) = s.dx;
            s.B(i) = P;
            s.C(i) = s.dx;
            s.D(i) = ((-s.dy) * s.Told(i, j - 1) + s.Told(i, j) * (2 * s.dy - 1)) -
                     s.dy * s.Told(i, j + 1);
        }
        s.D(1) = s.D(1) - s.dx * s.T(0, j);
        s.D(Nx1) = s.D(Nx1) - s.dx * s.T(Nx, j);
        reference_thomas(s, Nx1);
        for (int i = 1; i <= Nx1; ++i)
            s.T(i, j) = s.D(i);
    }
    for (int i = 1; i <= Nx1; ++i) {
        for (int j = 1; j <= Ny1; ++j)
            s.Told(i, j) = s.T(i, j);
    }
    for (int i = 1; i <= Nx1; ++i) {
        const double Q = -(2 * s.dy + 1);
        for (int j = 1; j <= Ny1; ++j) {
            s.A(j) = s.dy;
            s.B(j) = Q;
            s.C(j) = s.dy;
            s.D(j) = ((-s.dx) * s.Told(i - 1, j) + s.Told(i, j) * (2 * s.dx - 1)) -
                     s.dx * s.Told(i + 1, j);
        }
        s.D(1) = s.D(1) - s.dy * s.T(i, 0);
        s.D(Ny1) = s.D(Ny1) - s.dy * s.T(i, Ny);
        reference_thomas(s, Ny1);
        for (int j = 1; j <= Ny1; ++j)
            s.T(i, j) = s.D(j);
    }
}

// The inputs of a run.
struct Plate {
    int Nx = 20, Ny = 20;
    double Tw1 = 100, Tw2 = 100, Tw3 = 100, Tw4 = 100, Tfield = 0;
};

// A CALCULATE run's numbers: set-up, `steps` steps of the chosen method and
// the residual of each. Returns the last residual (0 without a step).
inline double reference_run(SimulationState& s, const Plate& p, long steps, bool adi) {
    s.Nx = p.Nx;
    s.Ny = p.Ny;
    s.Nx1 = p.Nx - 1;
    s.Ny1 = p.Ny - 1;
    s.dx = 1.0 / p.Nx;
    s.dy = 1.0 / p.Ny;
    for (int i = 0; i <= p.Nx; ++i) {
        s.T(i, 0) = s.Told(i, 0) = p.Tw1;
        s.T(i, p.Ny) = s.Told(i, p.Ny) = p.Tw3;
    }
    for (int j = 0; j <= p.Ny; ++j) {
        s.T(p.Nx, j) = s.Told(p.Nx, j) = p.Tw2;
        s.T(0, j) = s.Told(0, j) = p.Tw4;
    }
    for (int i = 1; i < p.Nx; ++i) {
        for (int j = 1; j < p.Ny; ++j)
            s.T(i, j) = p.Tfield;
    }
    double rms = 0;
    for (long step = 1; step <= steps; ++step) {
        for (int i = 1; i < p.Nx; ++i) {
            for (int j = 1; j < p.Ny; ++j)
                s.Told(i, j) = s.T(i, j);
        }
        if (adi) {
            reference_ADI(s, p.Nx - 1, p.Ny - 1);
        } else {
            s.dx = s.dx > 0.5 ? 0.5 : s.dx;
            s.dy = s.dy > 0.5 ? 0.5 : s.dy;
            reference_explicit(s, p.Nx - 1, p.Ny - 1);
        }
        double sum = 0;
        for (int i = 1; i < p.Nx; ++i) {
            for (int j = 1; j < p.Ny; ++j)
                sum = sum + (s.T(i, j) - s.Told(i, j)) * (s.T(i, j) - s.Told(i, j));
        }
        rms = std::sqrt(sum) / ((p.Nx - 1) * (p.Ny - 1));
    }
    return rms;
}

}  // namespace heatplate::testing
