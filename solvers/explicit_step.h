#pragma once

#include "model/simulation_state.h"

namespace heatplate {

// One time step of the explicit five-point scheme: the interior of T
// (i = 1..Nx1, j = 1..Ny1) receives the new field computed from Told alone,
// with dx and dy as the per-step diffusion coefficients. Told and the walls
// of T are left as they are. Extents must lie in 0..100.
void explicit_step(SimulationState& s, int Nx1, int Ny1);

}  // namespace heatplate
