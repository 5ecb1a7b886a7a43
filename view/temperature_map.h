#pragma once

#include "model/simulation_state.h"
#include "platform/drawing_box.h"

namespace heatplate {

// Clears and scales the map and fixes the run's colour scale (Tmin, Tmax,
// Trange) from the input temperatures.
void Init_Paint(SimulationState& s, DrawingBox& Picture_Paint);

// Paints every cell whose mean temperature maps to a palette index above 0.
void Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint);

}  // namespace heatplate
