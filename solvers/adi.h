#pragma once

#include "app/simulation_state.h"

namespace heatplate {

// One Peaceman-Rachford ADI time step: a row sweep implicit in x, then a
// column sweep implicit in y. On return T holds the new field and Told the
// intermediate one.
void ADI(SimulationState& s, int Nx1, int Ny1);

}  // namespace heatplate
