#include "solvers/explicit_step.h"

#include <cassert>

namespace heatplate {

void explicit_step(SimulationState& s, int Nx1, int Ny1) {
    assert(Nx1 <= kMaxIntervals - 1 && Ny1 <= kMaxIntervals - 1);
    const double dx = s.dx;
    const double dy = s.dy;
    for (int i = 1; i <= Nx1; ++i) {
        const double* left = s.Told.column(i - 1);
        const double* mid = s.Told.column(i);
        const double* right = s.Told.column(i + 1);
        double* out = s.T.column(i);
        // Every value read comes from Told, so the j loop has no carried
        // dependence and vectorises without changing a single bit.
        for (int j = 1; j <= Ny1; ++j) {
            const double Sx = dx * ((left[j] - 2 * mid[j]) + right[j]);
            const double Sy = dy * ((mid[j - 1] - 2 * mid[j]) + mid[j + 1]);
            out[j] = (mid[j] + Sx) + Sy;
        }
    }
}

}  // namespace heatplate
