#include "view/temperature_map.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>

#include "view/cell_colours.h"

namespace heatplate {
namespace {

constexpr int kMaxCells = kMaxIntervals * kMaxIntervals;

// Whether the cell rectangles line up in rows and columns (see
// TemperatureMap::Grid::regular).
bool is_regular_grid(const SimulationState& s, int Nx, int Ny) {
    const std::size_t column_bytes = static_cast<std::size_t>(Ny + 1) * sizeof(double);
    for (int i = 0; i <= Nx; ++i) {
        const double* x = s.X.column(i);
        // Equal to its neighbour everywhere means constant.
        if (Ny > 0 && std::memcmp(x, x + 1, static_cast<std::size_t>(Ny) * sizeof(double)) != 0) {
            return false;
        }
        if (i > 0 && std::memcmp(s.Y.column(i), s.Y.column(0), column_bytes) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

void Init_Paint(SimulationState& s, DrawingBox& Picture_Paint) {
    s.Xmin = 0;
    s.Xmax = 1;
    s.Ymin = 0;
    s.Ymax = 1;
    Picture_Paint.scale(static_cast<float>(s.Xmin), static_cast<float>(s.Ymax),
                        static_cast<float>(s.Xmax), static_cast<float>(s.Ymin));
    Picture_Paint.cls();

    s.Tmin = s.Tfield;
    for (const double Tw : {s.Tw1, s.Tw2, s.Tw3, s.Tw4}) {
        if (Tw < s.Tmin) {
            s.Tmin = Tw;
        }
    }
    s.Tmax = s.Tfield;
    for (const double Tw : {s.Tw1, s.Tw2, s.Tw3, s.Tw4}) {
        if (Tw > s.Tmax) {
            s.Tmax = Tw;
        }
    }
    s.Trange = s.Tmax - s.Tmin;
}

namespace {

// The cells one rectangle at a time, for a grid whose rectangles do not line
// up in rows and columns.
void paint_cells_one_by_one(const SimulationState& s, DrawingBox& box, int Nx, int Ny,
                            std::span<const Colour> colours) {
    for (int i = 1; i <= Nx; ++i) {
        for (int j = 1; j <= Ny; ++j) {
            const Colour colour = colours[static_cast<std::size_t>(i - 1) * Ny + (j - 1)];
            if (colour == kNoColour) {
                continue;
            }
            const auto x1 = static_cast<float>(s.X(i, j));
            const auto y1 = static_cast<float>(s.Y(i, j));
            const auto x2 = static_cast<float>(s.X(i - 1, j - 1));
            const auto y2 = static_cast<float>(s.Y(i - 1, j - 1));
            if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
                !std::isfinite(y2)) {
                continue;
            }
            box.fill_rect(x1, y1, x2, y2, colour);
        }
    }
}

// Every cell's colour is worked out every step: a cell left out keeps its
// old colour, so the picture depends on each step, not just the last.
// ColorIndex ends as the index of the last cell painted or at index 0.
void paint_field(SimulationState& s, DrawingBox& box, const TemperatureMap::Grid& grid) {
    const int Nx = grid.Nx;
    const int Ny = grid.Ny;
    std::array<Colour, kMaxCells> colours;
    const std::span<Colour> cells(colours.data(), static_cast<std::size_t>(Nx) * Ny);
    const CellColourer colourer(s.Tmin, s.Tmax, s.Trange, s.Palette.data());
    if (const std::int16_t last = colourer.colour_cells(s.T, Nx, Ny, cells); last != kOutside) {
        s.ColorIndex = last;
    }
    if (grid.regular) {
        // The whole grid in one call, which a box can paint faster than
        // rectangle after rectangle.
        box.fill_cells({std::span(grid.xs.data(), static_cast<std::size_t>(Nx) + 1),
                        std::span(grid.ys.data(), static_cast<std::size_t>(Ny) + 1)},
                       cells);
    } else {
        paint_cells_one_by_one(s, box, Nx, Ny, cells);
    }
}

}  // namespace

void TemperatureMap::Grid::take(const SimulationState& s, int nx, int ny) {
    Nx = nx;
    Ny = ny;
    regular = is_regular_grid(s, Nx, Ny);
    for (int i = 0; i <= Nx; ++i) {
        xs[static_cast<std::size_t>(i)] = static_cast<float>(s.X(i, 0));
    }
    for (int j = 0; j <= Ny; ++j) {
        ys[static_cast<std::size_t>(j)] = static_cast<float>(s.Y(0, j));
    }
}

void Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint) {
    // A map of its own takes the grid afresh.
    TemperatureMap().Paint_TempField(s, Picture_Paint);
}

void TemperatureMap::Init_Paint(SimulationState& s, DrawingBox& Picture_Paint) {
    heatplate::Init_Paint(s, Picture_Paint);
    // The run's first step takes the grid.
    grid_ = {};
}

void TemperatureMap::Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint) {
    const int Nx = grid_extent(s.Nx);
    const int Ny = grid_extent(s.Ny);
    if (Nx < 1 || Ny < 1) {
        return;
    }
    // Also a state whose sizes changed since has a grid of its own.
    if (Nx != grid_.Nx || Ny != grid_.Ny) {
        grid_.take(s, Nx, Ny);
    }
    paint_field(s, Picture_Paint, grid_);
}

}  // namespace heatplate
