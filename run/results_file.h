#pragma once

#include <optional>
#include <string>

#include "model/simulation_state.h"

namespace heatplate {

// Where a run leaves its final field: the working directory.
inline constexpr const char* kResultsFile = "results.txt";

// The final field as results.txt holds it: one line per grid row from the
// bottom wall (j = 0) up to the top (j = Ny), each field i = 0..Nx two
// blanks and the value in the picture "##0,#0" grouped with the given
// single-byte separator, CR LF after every line.
std::string results_text(const SimulationState& s, const std::string& group_separator);

// The final field at full precision for comparisons with other programs:
// row j per line from the bottom, i across, each value with the 17
// significant digits that give it back, whatever the locale.
std::string full_precision_field(const SimulationState& s);

}  // namespace heatplate
