#include "solvers/adi.h"

#include <array>
#include <stdexcept>
#include <string>

namespace heatplate {
namespace {

constexpr int kExtent = NodeArray::kExtent;
// The far wall of a line sits at its extent + 1, which must still be in the arrays.
constexpr int kMaxExtent = kMaxIntervals - 1;

using Line = std::array<double, kExtent>;

// Most of a step is tens of thousands of divisions, which wider vectors do
// at twice the pace. Lane width changes no bit (each lane rounds the one
// operation exactly, and contraction stays off), so the wider copy is
// chosen at load time where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define HEATPLATE_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define HEATPLATE_WIDE_VECTORS
#endif

// The grid lines of one sweep are solved together rather than one thomas call
// at a time: the row systems run across memory, and one line's elimination is
// a chain of dependent divisions. Each line still gets exactly the operations
// thomas would apply, in the same order, so the bits are those of the
// line-by-line solve.

// Every line of a sweep has the diagonals (r, b, r), so the eliminated pivots
// do not depend on the line and are computed once, as thomas computes them.
void shared_pivots(double r, double b, int n, Line& Bmod) {
    Bmod[1] = b;
    for (int k = 2; k <= n; ++k) {
        Bmod[k] = b - (r * r) / Bmod[k - 1];
    }
}

int wall_index(double n, const char* name) {
    const int index = grid_extent(n);
    if (index < 0) {
        throw std::out_of_range(std::string("ADI: wall index ") + name + " = " + std::to_string(n) +
                                " outside 0.." + std::to_string(kMaxIntervals));
    }
    return index;
}

// Implicit in x: the system of row j runs along i. Sweeping i outer and j
// inner advances all rows by one elimination stage at a time over contiguous
// memory. T holds the rows' eliminated right-hand sides and then their
// solutions, which also go to Told as the intermediate field.
HEATPLATE_WIDE_VECTORS
void row_sweep_eliminate(SimulationState& s, int Nx1, int Ny1, int Nx, const Line& Bmod) {
    const double dx = s.dx;
    const double dy = s.dy;
    const double minus_dy = -dy;
    const double centre = 2 * dy - 1;

    // Taken before T is overwritten, should a wall index fall inside the grid.
    Line left;
    Line right;
    for (int j = 1; j <= Ny1; ++j) {
        left[j] = s.T(0, j);
        right[j] = s.T(Nx, j);
    }

    for (int i = 1; i <= Nx1; ++i) {
        const double* __restrict told = s.Told.column(i);
        const double* __restrict prev = s.T.column(i - 1);
        double* __restrict d = s.T.column(i);
        auto rhs = [=](int j) {
            return (minus_dy * told[j - 1] + told[j] * centre) - dy * told[j + 1];
        };
        if (i > 1 && i < Nx1) {
            for (int j = 1; j <= Ny1; ++j) {
                d[j] = rhs(j) - (prev[j] * dx) / Bmod[i - 1];
            }
            continue;
        }
        // A wall term enters the right-hand side before its elimination.
        for (int j = 1; j <= Ny1; ++j) {
            d[j] = rhs(j);
        }
        if (i == 1) {
            for (int j = 1; j <= Ny1; ++j) {
                d[j] = d[j] - dx * left[j];
            }
        }
        if (i == Nx1) {
            for (int j = 1; j <= Ny1; ++j) {
                d[j] = d[j] - dx * right[j];
            }
        }
        if (i > 1) {
            for (int j = 1; j <= Ny1; ++j) {
                d[j] = d[j] - (prev[j] * dx) / Bmod[i - 1];
            }
        }
    }
}

// The rows' back substitution, from the last node of every row to the first.
HEATPLATE_WIDE_VECTORS
void row_sweep_substitute(SimulationState& s, int Nx1, int Ny1, const Line& Bmod) {
    const double dx = s.dx;
    double* __restrict last = s.T.column(Nx1);
    double* __restrict last_out = s.Told.column(Nx1);
    for (int j = 1; j <= Ny1; ++j) {
        last[j] = last[j] / Bmod[Nx1];
        last_out[j] = last[j];
    }
    for (int i = Nx1 - 1; i >= 1; --i) {
        double* __restrict x = s.T.column(i);
        double* __restrict out = s.Told.column(i);
        const double* __restrict next = s.T.column(i + 1);
        for (int j = 1; j <= Ny1; ++j) {
            x[j] = (x[j] - next[j] * dx) / Bmod[i];
            out[j] = x[j];
        }
    }
}

void row_sweep(SimulationState& s, int Nx1, int Ny1, int Nx, const Line& Bmod) {
    row_sweep_eliminate(s, Nx1, Ny1, Nx, Bmod);
    row_sweep_substitute(s, Nx1, Ny1, Bmod);
}

// Implicit in y: the system of column i runs along j, along memory, but its
// elimination is one long dependent chain. The right-hand sides are formed in
// place in T, then eliminated in W, which holds the columns side by side
// (W[j][i]) so that one stage of all columns runs over contiguous memory.
HEATPLATE_WIDE_VECTORS
void column_sweep(SimulationState& s, int Nx1, int Ny1, int Ny, const Line& Bmod) {
    const double dx = s.dx;
    const double dy = s.dy;
    const double minus_dx = -dx;
    const double centre = 2 * dx - 1;

    Line bottom;
    Line top;
    for (int i = 1; i <= Nx1; ++i) {
        bottom[i] = s.T(i, 0);
        top[i] = s.T(i, Ny);
    }

    for (int i = 1; i <= Nx1; ++i) {
        const double* __restrict west = s.Told.column(i - 1);
        const double* __restrict mid = s.Told.column(i);
        const double* __restrict east = s.Told.column(i + 1);
        double* __restrict d = s.T.column(i);
        for (int j = 1; j <= Ny1; ++j) {
            d[j] = (minus_dx * west[j] + mid[j] * centre) - dx * east[j];
        }
        d[1] = d[1] - dy * bottom[i];
        d[Ny1] = d[Ny1] - dy * top[i];
    }

    // 83 kB: kept off the stack, one per thread that steps a plate.
    static thread_local std::array<Line, kExtent> W;
    double* const t = s.T.column(0);
    for (int i = 1; i <= Nx1; ++i) {
        W[1][i] = t[i * kExtent + 1];
    }
    for (int j = 2; j <= Ny1; ++j) {
        double* __restrict w = W[j].data();
        const double* __restrict prev = W[j - 1].data();
        for (int i = 1; i <= Nx1; ++i) {
            w[i] = t[i * kExtent + j] - (prev[i] * dy) / Bmod[j - 1];
        }
    }

    for (int i = 1; i <= Nx1; ++i) {
        W[Ny1][i] = W[Ny1][i] / Bmod[Ny1];
        t[i * kExtent + Ny1] = W[Ny1][i];
    }
    for (int j = Ny1 - 1; j >= 1; --j) {
        double* __restrict x = W[j].data();
        const double* __restrict next = W[j + 1].data();
        for (int i = 1; i <= Nx1; ++i) {
            x[i] = (x[i] - next[i] * dy) / Bmod[j];
            t[i * kExtent + j] = x[i];
        }
    }
}

}  // namespace

void ADI(SimulationState& s, int Nx1, int Ny1) {
    if (Nx1 > kMaxExtent || Ny1 > kMaxExtent) {
        throw std::out_of_range("ADI: extents " + std::to_string(Nx1) + " x " +
                                std::to_string(Ny1) + " exceed " + std::to_string(kMaxExtent));
    }
    if (Nx1 < 1 || Ny1 < 1) {
        return;
    }
    const int Nx = wall_index(s.Nx, "Nx");
    const int Ny = wall_index(s.Ny, "Ny");
    const double dx = s.dx;
    const double dy = s.dy;

    const double P = -(2 * dx + 1);
    Line Bmod;
    shared_pivots(dx, P, Nx1, Bmod);
    row_sweep(s, Nx1, Ny1, Nx, Bmod);

    const double Q = -(2 * dy + 1);
    shared_pivots(dy, Q, Ny1, Bmod);
    column_sweep(s, Nx1, Ny1, Ny, Bmod);

    // The solver vectors as the last thomas calls leave them: the last
    // column's system and solution, over the tail of the last row's where
    // the rows are longer.
    for (int k = Ny1 + 1; k <= Nx1; ++k) {
        s.A(k) = dx;
        s.B(k) = P;
        s.C(k) = dx;
        s.D(k) = s.Told(k, Ny1);
    }
    for (int k = 1; k <= Ny1; ++k) {
        s.A(k) = dy;
        s.B(k) = Q;
        s.C(k) = dy;
        s.D(k) = s.T(Nx1, k);
    }
}

}  // namespace heatplate
