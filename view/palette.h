#pragma once

#include "model/simulation_state.h"

namespace heatplate {

// Sets Black, Red and the blue-to-red palette entries 1..255.
void colors(SimulationState& s);

}  // namespace heatplate
