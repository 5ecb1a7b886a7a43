#pragma once

#include <cstdint>
#include <span>

#include "model/colour.h"
#include "model/simulation_state.h"

namespace heatplate {

// Stands for "no index" where a cell's mean lies outside [Tmin, Tmax] or is
// not a number.
inline constexpr std::int16_t kOutside = -1;

// How the cells' colours are worked out. Both ways give the same colours.
enum class ColourWay {
    Exact,   // one cell after the other, each with its own division
    Vector,  // as many cells at a time as the processor's vectors take, without a
             // division; a column in doubt goes the exact way
};

// Colours the temperature map's cells on a colour scale: a cell whose mean
// (((T(i, j) + T(i, j - 1)) + T(i - 1, j - 1)) + T(i - 1, j)) / 4 lies in
// [Tmin, Tmax] gets the palette index round-half-even(255 * ((mean - Tmin)
// / Trange)) and, when that index is above 0, its colour from the palette;
// any other cell gets kNoColour.
class CellColourer {
  public:
    // palette: the colours of the indices 0..256.
    CellColourer(double Tmin, double Tmax, double Trange, const Colour* palette);

    // The colours of the cells (1..Nx, 1..Ny) of the field T, Nx and Ny from
    // 0 to kMaxIntervals: out[(i - 1) * Ny + (j - 1)] for cell (i, j), out
    // holding Nx * Ny colours. Returns the index of the last cell in that
    // order that has one, or kOutside when none has.
    std::int16_t colour_cells(const NodeArray& T, int Nx, int Ny, std::span<Colour> out,
                              ColourWay way = ColourWay::Vector) const;

  private:
    std::int16_t column_exact(const double* left, const double* right, int Ny, Colour* out) const;
    void look_up(Colour* column, int Ny) const;

    double Tmin_, Tmax_, Trange_;
    const Colour* palette_;
    // 255 / Trange, when that is a finite positive number and Tmax - Tmin
    // is at most Trange, so that the quick way may be used; 0 otherwise.
    double factor_ = 0;
    // When the palette's colours 1..255 lie on a line, colour k is
    // line_base_ + k * line_step_ (in wrapping 32-bit arithmetic), which
    // vectors work out where they could not look it up.
    bool palette_is_line_ = false;
    std::uint32_t line_base_ = 0;
    std::uint32_t line_step_ = 0;
};

}  // namespace heatplate
