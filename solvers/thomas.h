#pragma once

#include "app/simulation_state.h"

namespace heatplate {

// Solves the tridiagonal system held in A, B, C, D (rows 1..N) by the Thomas
// algorithm; the solution replaces D(1)..D(N).
void thomas(SimulationState& s, int N);

}  // namespace heatplate
