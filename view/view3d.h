#pragma once

#include <string_view>

#include "model/simulation_state.h"
#include "raster/drawing_box.h"

namespace heatplate {

// Reads the angle from the text of the angle box, computes its sine and
// cosine and the projected plate corners, and scales the box.
void Init_D3_Graph(SimulationState& s, std::string_view alfa_text, DrawingBox& Picture_3DGraph);

// Gives the box the coordinate system Init_D3_Graph gave it, from the
// angle's corners in the state.
void scale_D3_Graph(const SimulationState& s, DrawingBox& Picture_3DGraph);

// Clears the box and draws the base frame, the axis and one curve per node row.
void D3_Graph(const SimulationState& s, DrawingBox& Picture_3DGraph);

}  // namespace heatplate
