// Placeholders until the pictures are drawn.
#include "view/palette.h"
#include "view/temperature_map.h"
#include "view/view3d.h"

namespace heatplate {

void colors(SimulationState&) {}
void Init_Paint(SimulationState&, DrawingBox&) {}
void Paint_TempField(SimulationState&, DrawingBox&) {}
void Init_D3_Graph(SimulationState&, std::string_view, DrawingBox&) {}
void D3_Graph(const SimulationState&, DrawingBox&) {}

}  // namespace heatplate
