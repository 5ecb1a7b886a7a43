#pragma once

#include "model/simulation_state.h"

namespace heatplate {

// The residual of a step: the root of the summed squared changes T - Told of
// the interior (summed i outer, j inner) divided by the number of interior
// nodes Nx1 * Ny1 of the state.
double step_residual(const SimulationState& s, int Nx1, int Ny1);

}  // namespace heatplate
