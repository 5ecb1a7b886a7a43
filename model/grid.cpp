#include "model/grid.h"

#include <cmath>

namespace heatplate {

int grid_extent(double n) {
    if (n >= 0 && n <= kMaxIntervals && n == std::floor(n)) {
        return static_cast<int>(n);
    }
    return -1;
}

bool is_run_extent(double n) {
    return grid_extent(n) >= 2;
}

}  // namespace heatplate
