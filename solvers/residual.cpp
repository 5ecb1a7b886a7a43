#include "solvers/residual.h"

#include <cmath>

namespace heatplate {

double step_residual(const SimulationState& s, int Nx1, int Ny1) {
    double SumSq = 0;
    for (int i = 1; i <= Nx1; ++i) {
        const double* t = s.T.column(i);
        const double* told = s.Told.column(i);
        for (int j = 1; j <= Ny1; ++j) {
            const double change = t[j] - told[j];
            SumSq = SumSq + change * change;
        }
    }
    return std::sqrt(SumSq) / (s.Nx1 * s.Ny1);
}

}  // namespace heatplate
