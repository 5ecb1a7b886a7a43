#pragma once

namespace heatplate {

// The largest number of intervals per direction the node arrays hold.
inline constexpr int kMaxIntervals = 101;

// A number of intervals as the arrays can take it, 0..kMaxIntervals, or -1
// for anything else (negative, fractional, too large, not a number).
int grid_extent(double n);

// Whether a run can use n intervals in a direction: a whole number from 2 up,
// so that there is an interior node, to kMaxIntervals.
bool is_run_extent(double n);

}  // namespace heatplate
