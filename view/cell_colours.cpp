#include "view/cell_colours.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>

#include "model/grid.h"

namespace heatplate {
namespace {

// Adding and taking away 1.5 * 2^52 rounds any value of magnitude below 2^51
// to a whole number, halves to the even neighbour, in the default rounding
// mode; unlike nearbyint it is two additions that run on several cells at a
// time.
constexpr double kRoundToEven = 6755399441055744.0;

double round_to_even(double v) {
    return (v + kRoundToEven) - kRoundToEven;
}

double cell_mean(const double* left, const double* right, int j) {
    return (((right[j] + right[j - 1]) + left[j - 1]) + left[j]) / 4;
}

Colour colour_of(std::int16_t index, const Colour* palette) {
    return index > 0 ? palette[index] : kNoColour;
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

// The quick way divides by nothing: the division by Trange, by far the
// slowest step, becomes a product with f = 255 / Trange. For a cell on the
// scale d = Tcell - Tmin lies in [0, Trange] (the constructor makes sure
// that Tmax - Tmin is at most Trange), so the exact 255 * (d / Trange) and
// the estimate d * f each lie within two units in the last place of the
// true value, which is at most 255: they differ by less than 2e-13 and
// round to the same whole number unless they lie that close to a half. (f
// is never subnormal, and a subnormal quotient or product is off by far
// less than that.) A column with an estimate within 1e-9 of a half, or
// with a cell off the scale or not a number, is left to the exact way; the
// rest, nearly always all of them, are coloured without a branch. Both ways
// take the same mean, and adding and taking away 1.5 * 2^52 rounds any
// estimate below 2^51 as round_to_even does.
constexpr double kNearHalf = 0.5 - 1e-9;

double estimate(double Tcell, double Tmin, double factor) {
    return (Tcell - Tmin) * factor;
}

// The whole number an estimate rounds to sits in the low bits of
// estimate + 1.5 * 2^52, 0..255 on the scale. Read from the bits, it is
// defined whatever the cell holds: converting a value that is not a number
// to an integer would not be.
std::uint64_t bits_of(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

std::uint32_t low_bits(double shifted) {
    return static_cast<std::uint32_t>(bits_of(shifted));
}

// One field's cells for the quick way.
struct QuickJob {
    const double* T;  // node column i starts at T + i * NodeArray::kExtent
    int Nx, Ny;
    double Tmin, Tmax, factor;
    bool line;  // the palette lies on a line: colour = line_base + index * line_step
    std::uint32_t line_base, line_step;
    Colour* out;  // Nx * Ny colours, or their indices where the palette is no line
    bool* sure;   // per column: its colours are the exact way's

    const double* column(int i) const {
        return T + static_cast<std::ptrdiff_t>(i) * NodeArray::kExtent;
    }
    Colour* out_column(int i) const { return out + static_cast<std::ptrdiff_t>(i - 1) * Ny; }
};

// The scale and the palette's line, copied out of the job: the stores to
// the colours might otherwise change them, as far as the compiler knows.
struct Scale {
    double Tmin, Tmax, factor;
    std::uint32_t base, step;
};

// Cells 0..count - 1 of the column run from left and right by the estimate,
// in a loop the compiler runs several cells at a time. A palette on a line
// gets its colours by a product and a sum; another gets the indices, looked
// up once the column turns out sure. Cell k leaves a doubt in the top bit
// of doubtful[k], from three words:
//   v, whose sign is set for a cell below Tmin (and for -0 with Tmin +0,
//     which only costs time);
//   Tmax - Tcell, whose sign is set for a cell above Tmax;
//   |off| + (1 - kNearHalf), moved up from the lowest bit of its exponent:
//     that bit is set where the sum reaches 1, that is for an estimate near
//     a half, and for a sum that is not a number, as off is for a mean that
//     is not a number or infinite.
// A cell that passes all three lies on the scale, its estimate below 256
// and away from a half. Bits, unlike comparisons, gather the same way with
// every width of vectors (x86-64's baseline ones turn no comparison of
// doubles into an integer).
template <bool kLine>
__attribute__((always_inline)) inline void cells_quick(const Scale& c, const double* left,
                                                       const double* right, Colour* out, int count,
                                                       std::uint64_t* doubtful) {
    for (int k = 0; k < count; ++k) {
        const double Tcell = cell_mean(left, right, k);
        const double v = estimate(Tcell, c.Tmin, c.factor);
        const double shifted = v + kRoundToEven;
        const double off = v - (shifted - kRoundToEven);
        doubtful[k] |= bits_of(v) | bits_of(c.Tmax - Tcell) |
                       (bits_of(std::fabs(off) + (1 - kNearHalf)) << 11);
        const std::uint32_t index = low_bits(shifted);
        if constexpr (kLine) {
            out[k] = index > 0 ? static_cast<Colour>(c.base + index * c.step) : kNoColour;
        } else {
            out[k] = static_cast<Colour>(index);
        }
    }
}

// Groups of a fixed number of cells fill the vectors of every width with no
// odd cells left over to do one at a time: a column that does not divide
// into groups has its last group overlap the one before, which works those
// cells out twice to the same colours; a column shorter than a group is one
// loop of its own length. The doubts of a group's cells gather in as many
// lanes, which only the end folds into one.
constexpr int kGroup = 16;

template <bool kLine>
__attribute__((always_inline)) inline bool columns_quick(const QuickJob& job, int first, int last) {
    const Scale c{job.Tmin, job.Tmax, job.factor, job.line_base, job.line_step};
    const int Ny = job.Ny;
    std::uint64_t doubtful[kGroup] = {};
    for (int i = first; i <= last; ++i) {
        const double* left = job.column(i - 1) + 1;
        const double* right = job.column(i) + 1;
        Colour* out = job.out_column(i);
        int j = 0;
        for (; j + kGroup <= Ny; j += kGroup) {
            cells_quick<kLine>(c, left + j, right + j, out + j, kGroup, doubtful);
        }
        if (Ny < kGroup) {
            cells_quick<kLine>(c, left, right, out, Ny, doubtful);
        } else if (j < Ny) {
            j = Ny - kGroup;
            cells_quick<kLine>(c, left + j, right + j, out + j, kGroup, doubtful);
        }
    }
    std::uint64_t any = 0;
    for (int k = 0; k < kGroup; ++k) {
        any |= doubtful[k];
    }
    return (any >> 63) == 0;
}

// Lane width changes no bit (each lane rounds each operation exactly as the
// scalar code does, and contraction stays off), so the widest copy the
// processor runs is chosen when the program is loaded.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define HEATPLATE_WIDE_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define HEATPLATE_WIDE_VECTORS
#endif

// Whether the columns first..last are all sure, having coloured them.
HEATPLATE_WIDE_VECTORS
bool quick_colours(const QuickJob& job, int first, int last) {
    return job.line ? columns_quick<true>(job, first, last)
                    : columns_quick<false>(job, first, last);
}

// The whole field at once, with no doubt to fold column by column; should
// a cell be doubtful, as one nearly never is, each column again on its own
// to find which.
void colour_quick(const QuickJob& job) {
    if (quick_colours(job, 1, job.Nx)) {
        std::fill(job.sure, job.sure + job.Nx, true);
        return;
    }
    for (int i = 1; i <= job.Nx; ++i) {
        job.sure[i - 1] = quick_colours(job, i, i);
    }
}

}  // namespace

CellColourer::CellColourer(double Tmin, double Tmax, double Trange, const Colour* palette)
    : Tmin_(Tmin), Tmax_(Tmax), Trange_(Trange), palette_(palette) {
    // A zero or tiny range, whose quotient is no longer a finite positive
    // number, one that is not a number itself, or one narrower than Tmax -
    // Tmin, where a cell's index could pass 255, goes the exact way.
    const double factor = 255 / Trange;
    if (Trange > 0 && std::isfinite(Trange) && factor > 0 && std::isfinite(factor) &&
        Tmax - Tmin <= Trange) {
        factor_ = factor;
    }
    // In the wrapping arithmetic the vectors use: where that gives every
    // colour 1..255, it gives them right.
    const auto step =
        static_cast<std::uint32_t>(palette[2]) - static_cast<std::uint32_t>(palette[1]);
    const auto base = static_cast<std::uint32_t>(palette[1]) - step;
    std::uint32_t off_line = 0;
    for (std::uint32_t k = 1; k <= 255; ++k) {
        off_line |= static_cast<std::uint32_t>(palette[k]) ^ (base + k * step);
    }
    palette_is_line_ = off_line == 0;
    line_base_ = base;
    line_step_ = step;
}

std::int16_t CellColourer::column_exact(const double* left, const double* right, int Ny,
                                        Colour* out) const {
    std::int16_t last = kOutside;
    for (int j = 1; j <= Ny; ++j) {
        const double Tcell = cell_mean(left, right, j);
        if (Tcell >= Tmin_ && Tcell <= Tmax_) {
            last = exact_index(Tcell, Tmin_, Trange_);
            out[j - 1] = colour_of(last, palette_);
        } else {
            out[j - 1] = kNoColour;
        }
    }
    return last;
}

// A sure column of a palette that is no line holds its indices, 0..255,
// until they are looked up; were a slip to break that, the mask keeps the
// look-up within the palette.
void CellColourer::look_up(Colour* column, int Ny) const {
    for (int j = 0; j < Ny; ++j) {
        assert(column[j] >= 0 && column[j] <= 255);
        column[j] = colour_of(static_cast<std::int16_t>(column[j] & 0xFF), palette_);
    }
}

std::int16_t CellColourer::colour_cells(const NodeArray& T, int Nx, int Ny, std::span<Colour> out,
                                        ColourWay way) const {
    assert(Nx <= kMaxIntervals && Ny <= kMaxIntervals);
    assert(out.size() >= static_cast<std::size_t>(std::max(Nx, 0)) * std::max(Ny, 0));
    if (Nx < 1 || Ny < 1) {
        return kOutside;
    }
    std::array<bool, kMaxIntervals> sure{};
    if (way == ColourWay::Vector && factor_ > 0) {
        colour_quick(QuickJob{T.column(0), Nx, Ny, Tmin_, Tmax_, factor_, palette_is_line_,
                              line_base_, line_step_, out.data(), sure.data()});
    }
    // Every cell of a sure column lies on the scale: the last cell with an
    // index is that of the last sure column unless an exact one with a cell
    // on the scale follows.
    std::int16_t last_cell = kOutside;
    int last_sure = 0;
    for (int i = 1; i <= Nx; ++i) {
        Colour* column = out.data() + static_cast<std::size_t>(i - 1) * Ny;
        if (sure[static_cast<std::size_t>(i - 1)]) {
            if (!palette_is_line_) {
                look_up(column, Ny);
            }
            last_sure = i;
        } else if (const std::int16_t index =
                       column_exact(T.column(i - 1), T.column(i), Ny, column);
                   index != kOutside) {
            last_cell = index;
            last_sure = 0;
        }
    }
    if (last_sure > 0) {
        const double Tcell = cell_mean(T.column(last_sure - 1), T.column(last_sure), Ny);
        last_cell = exact_index(Tcell, Tmin_, Trange_);
    }
    return last_cell;
}

}  // namespace heatplate
