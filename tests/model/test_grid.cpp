// Grid sizes the node arrays hold, and those a run can use.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/grid.h"
#include "model/simulation_state.h"

namespace heatplate {
namespace {

TEST(Grid, ExtentsAreWholeNumbersTheArraysHold) {
    EXPECT_EQ(NodeArray::kExtent, kMaxIntervals + 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double n;
        int extent;
        bool run;
    } cases[] = {{0, 0, false},    {1, 1, false},   {2, 2, true},     {101, 101, true},
                 {102, -1, false}, {-1, -1, false}, {2.5, -1, false}, {1e300, -1, false},
                 {nan, -1, false}, {-0.0, 0, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(grid_extent(c.n), c.extent) << c.n;
        EXPECT_EQ(is_run_extent(c.n), c.run) << c.n;
    }
}

}  // namespace
}  // namespace heatplate
