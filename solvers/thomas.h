#pragma once

#include "model/simulation_state.h"

namespace heatplate {

// Solves the tridiagonal system held in the solver vectors by the Thomas
// algorithm (elimination without pivoting): row k = 1..N reads
//   A(k)*x(k-1) + B(k)*x(k) + C(k)*x(k+1) = D(k),
// without the x(0) term in row 1 and the x(N+1) term in row N. The solution
// replaces D(1)..D(N); A, B, C, D(0) and the entries above N are left alone.
// N outside 1..101 throws std::out_of_range before anything is touched.
void thomas(SimulationState& s, int N);

}  // namespace heatplate
