#pragma once

#include <array>

#include "model/grid.h"
#include "model/simulation_state.h"
#include "raster/drawing_box.h"

namespace heatplate {

// Clears and scales the map and fixes the run's colour scale (Tmin, Tmax,
// Trange) from the input temperatures.
void Init_Paint(SimulationState& s, DrawingBox& Picture_Paint);

// Paints every cell whose mean temperature maps to a palette index above 0.
void Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint);

// The temperature map of a run. It takes the cells' rectangles from X and Y
// once, at the run's first step, as a run sets them up before and leaves
// them alone after, so that the steps need not go through X and Y again;
// each Paint_TempField then paints what the function of that name paints.
// Init_Paint starts a new run.
class TemperatureMap {
  public:
    void Init_Paint(SimulationState& s, DrawingBox& Picture_Paint);
    void Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint);

    // The cells' rectangles as taken from X and Y.
    struct Grid {
        int Nx = -1;
        int Ny = -1;
        // Whether the rectangles line up in rows and columns: X the same
        // along every node column and Y along every node row, so that cell
        // (i, j) lies between column edges i - 1 and i and row edges j - 1
        // and j.
        bool regular = false;
        std::array<float, kMaxIntervals + 1> xs{};
        std::array<float, kMaxIntervals + 1> ys{};

        void take(const SimulationState& s, int Nx, int Ny);
    };

  private:
    Grid grid_;
};

}  // namespace heatplate
