#pragma once

#include "model/simulation_state.h"

namespace heatplate {

// One Peaceman-Rachford ADI time step over the interior i = 1..Nx1,
// j = 1..Ny1: a row sweep implicit in x and explicit in y, then a column
// sweep implicit in y and explicit in x, each solving one tridiagonal system
// per grid line. Reads Told (the field to advance, walls included), the walls
// of T at i = 0, i = Nx, j = 0 and j = Ny, and dx, dy as the per-half-step
// diffusion coefficients.
//
// On return T holds the new field, Told the intermediate field of the row
// sweep, and A, B, C, D the system and solution of the last column, i = Nx1,
// exactly as a line-by-line solve with thomas leaves them.
//
// An extent below 1 leaves no interior node, and nothing is touched. An
// extent above 100, or a wall index Nx or Ny that is not a whole number in
// 0..101, throws std::out_of_range before anything is touched.
void ADI(SimulationState& s, int Nx1, int Ny1);

}  // namespace heatplate
