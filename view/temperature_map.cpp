#include "view/temperature_map.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace heatplate {
namespace {

constexpr int kMaxCells = kMaxIntervals * kMaxIntervals;

// Marks a cell left out because its mean lies outside [Tmin, Tmax] (or is
// not a number): it has no colour index at all this step.
constexpr std::int16_t kOutside = -1;

// Adding and taking away 1.5 * 2^52 rounds any value of magnitude below 2^51
// to a whole number, halves to the even neighbour, in the default rounding
// mode; unlike nearbyint it is two additions the compiler can run on several
// cells at a time.
constexpr double kRoundToEven = 6755399441055744.0;

double round_to_even(double v) {
    return (v + kRoundToEven) - kRoundToEven;
}

double cell_mean(const double* left, const double* right, int j) {
    return (((right[j] + right[j - 1]) + left[j - 1]) + left[j]) / 4;
}

// The index of a cell whose mean lies in [Tmin, Tmax]: 255 times the
// quotient, rounded halves to even. Within the range it lies in 0..255,
// except that a zero Trange makes it 0/0: such a cell sits at Tmin, and a
// cell at Tmin is never painted, so it gets index 0. The bounds also keep a
// state with inconsistent Tmin, Tmax and Trange within the palette.
std::int16_t exact_index(double Tcell, double Tmin, double Trange) {
    double v = 255 * ((Tcell - Tmin) / Trange);
    v = v >= 0 ? v : 0.0;
    v = v <= 255 ? v : 255.0;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(round_to_even(v)));
}

// Indices of the cells (i, 1..Ny) of one column from the nodes of columns
// i - 1 (left) and i (right), the exact way.
void column_indices_exact(const double* left, const double* right, int Ny, double Tmin, double Tmax,
                          double Trange, std::int16_t* out) {
    for (int j = 1; j <= Ny; ++j) {
        const double Tcell = cell_mean(left, right, j);
        const bool inside = Tcell >= Tmin && Tcell <= Tmax;
        out[j - 1] = inside ? exact_index(Tcell, Tmin, Trange) : kOutside;
    }
}

#if defined(__SSE2__)
// The same indices, faster, or false when a column needs the exact way.
//
// The division by Trange, by far the slowest step, becomes a product with
// 255 / Trange. That estimate and the exact 255 * (d / Trange) each lie
// within two units in the last place of the true value, which is at most
// 255, so they differ by less than 2e-13 and round to the same whole number
// unless they lie that close to a half. A column with an estimate within
// 1e-9 of a half, or with a cell outside [Tmin, Tmax], is left to the exact
// way; the rest, nearly always all of them, take two cells at a time without
// a branch. (x * 0.25 is the same number as x / 4.)
bool column_indices_quick(const double* left, const double* right, int Ny, double Tmin, double Tmax,
                          double Trange, double scale, std::int16_t* out) {
    const __m128d tmin = _mm_set1_pd(Tmin);
    const __m128d tmax = _mm_set1_pd(Tmax);
    const __m128d factor = _mm_set1_pd(scale);
    const __m128d quarter = _mm_set1_pd(0.25);
    const __m128d magic = _mm_set1_pd(kRoundToEven);
    const __m128d near_half = _mm_set1_pd(0.5 - 1e-9);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    __m128d all_inside = _mm_castsi128_pd(_mm_set1_epi32(-1));
    __m128d any_near_half = _mm_setzero_pd();
    int j = 1;
    for (; j + 1 <= Ny; j += 2) {
        __m128d sum = _mm_add_pd(_mm_loadu_pd(right + j), _mm_loadu_pd(right + j - 1));
        sum = _mm_add_pd(sum, _mm_loadu_pd(left + j - 1));
        sum = _mm_add_pd(sum, _mm_loadu_pd(left + j));
        const __m128d Tcell = _mm_mul_pd(sum, quarter);
        all_inside = _mm_and_pd(all_inside,
                                _mm_and_pd(_mm_cmpge_pd(Tcell, tmin), _mm_cmple_pd(Tcell, tmax)));
        const __m128d v = _mm_mul_pd(_mm_sub_pd(Tcell, tmin), factor);
        const __m128d rounded = _mm_sub_pd(_mm_add_pd(v, magic), magic);
        const __m128d off = _mm_and_pd(_mm_sub_pd(v, rounded), magnitude);
        any_near_half = _mm_or_pd(any_near_half, _mm_cmpgt_pd(off, near_half));
        // Out-of-range lanes convert to a defined garbage value; their column
        // is redone anyway.
        const __m128i index = _mm_cvttpd_epi32(rounded);
        const std::int32_t two = _mm_cvtsi128_si32(_mm_packs_epi32(index, index));
        std::memcpy(out + (j - 1), &two, sizeof two);
    }
    if (_mm_movemask_pd(all_inside) != 3 || _mm_movemask_pd(any_near_half) != 0) {
        return false;
    }
    if (j == Ny) {
        const double Tcell = cell_mean(left, right, j);
        if (!(Tcell >= Tmin && Tcell <= Tmax)) {
            return false;
        }
        out[j - 1] = exact_index(Tcell, Tmin, Trange);
    }
    return true;
}
#endif

void column_indices(const double* left, const double* right, int Ny, double Tmin, double Tmax,
                    double Trange, std::int16_t* out) {
#if defined(__SSE2__)
    const double scale = 255 / Trange;
    // A zero or tiny range, whose quotient is no longer a finite positive
    // number, or one that is not a number itself, goes the exact way.
    if (Trange > 0 && std::isfinite(Trange) && scale > 0 && std::isfinite(scale) &&
        column_indices_quick(left, right, Ny, Tmin, Tmax, Trange, scale, out)) {
        return;
    }
#endif
    column_indices_exact(left, right, Ny, Tmin, Tmax, Trange, out);
}

// Whether the cell rectangles form a regular grid: X the same along every
// node column and Y the same along every node row, so that cell (i, j)'s
// corners are column edge i - 1 and i and row edge j - 1 and j.
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

// The colour of every cell by its index; cells left out get none.
void cell_colours(const SimulationState& s, std::span<const std::int16_t> indices,
                  std::span<Colour> colours) {
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const std::int16_t index = indices[k];
        colours[k] = index > 0 ? s.Palette(index) : kNoColour;
    }
}

// The cells one rectangle at a time, for a grid whose rectangles do not line
// up in rows and columns.
void paint_cells_one_by_one(SimulationState& s, DrawingBox& box, int Nx, int Ny,
                            std::span<const std::int16_t> indices) {
    for (int i = 1; i <= Nx; ++i) {
        for (int j = 1; j <= Ny; ++j) {
            const std::int16_t index = indices[static_cast<std::size_t>(i - 1) * Ny + (j - 1)];
            if (index == kOutside) {
                continue;
            }
            s.ColorIndex = index;
            if (s.ColorIndex <= 0) {
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
            box.fill_rect(x1, y1, x2, y2, s.Palette(s.ColorIndex));
        }
    }
}

// The whole grid in one call, which a box can paint faster than rectangle
// after rectangle.
void paint_regular_grid(SimulationState& s, DrawingBox& box, int Nx, int Ny,
                        std::span<const std::int16_t> indices) {
    for (std::size_t k = indices.size(); k-- > 0;) {
        if (indices[k] != kOutside) {
            s.ColorIndex = indices[k];
            break;
        }
    }
    std::array<float, kMaxIntervals + 1> xs;
    std::array<float, kMaxIntervals + 1> ys;
    for (int i = 0; i <= Nx; ++i) {
        xs[static_cast<std::size_t>(i)] = static_cast<float>(s.X(i, 0));
    }
    for (int j = 0; j <= Ny; ++j) {
        ys[static_cast<std::size_t>(j)] = static_cast<float>(s.Y(0, j));
    }
    std::array<Colour, kMaxCells> colours;
    cell_colours(s, indices, std::span(colours.data(), indices.size()));
    box.fill_cells({std::span(xs.data(), static_cast<std::size_t>(Nx) + 1),
                    std::span(ys.data(), static_cast<std::size_t>(Ny) + 1)},
                   std::span(colours.data(), indices.size()));
}

}  // namespace

void Paint_TempField(SimulationState& s, DrawingBox& Picture_Paint) {
    const int Nx = grid_extent(s.Nx);
    const int Ny = grid_extent(s.Ny);
    if (Nx < 1 || Ny < 1) {
        return;
    }

    // Every cell's index is worked out every step: a cell left out keeps its
    // old colour, so the picture depends on each step, not just the last.
    std::array<std::int16_t, kMaxCells> indices;
    for (int i = 1; i <= Nx; ++i) {
        column_indices(s.T.column(i - 1), s.T.column(i), Ny, s.Tmin, s.Tmax, s.Trange,
                       indices.data() + static_cast<std::size_t>(i - 1) * Ny);
    }
    const std::span<const std::int16_t> cells(indices.data(), static_cast<std::size_t>(Nx) * Ny);
    if (is_regular_grid(s, Nx, Ny)) {
        paint_regular_grid(s, Picture_Paint, Nx, Ny, cells);
    } else {
        paint_cells_one_by_one(s, Picture_Paint, Nx, Ny, cells);
    }
}

}  // namespace heatplate
