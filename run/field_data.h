#pragma once

#include <span>
#include <string>

#include "model/simulation_state.h"

namespace heatplate {

// The data behind the pictures as tables that spreadsheets and Python read:
// a header line, then a line per row, the fields split by the separator (a
// comma for a CSV file, a tab for the clipboard), every number in the
// shortest form that reads back to the same double, with a point as the
// decimal separator whatever the locale.

// "x,y,T": the field, one row per node, the bottom row (j = 0) first and
// i = 0..Nx along each, with the nodes' coordinates.
std::string field_table(const SimulationState& s, char separator = ',');

// "step,residual": the residual of each step, the first step first.
std::string residual_table(std::span<const double> residuals, char separator = ',');

}  // namespace heatplate
