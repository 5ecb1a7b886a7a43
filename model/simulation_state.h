#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "model/colour.h"
#include "model/grid.h"

namespace heatplate {

// A node array with indices (0..101, 0..101). The first index i runs along
// x, the second j along y; j is the contiguous one, so the loops that run j
// innermost walk memory in order.
class NodeArray {
  public:
    static constexpr int kExtent = kMaxIntervals + 1;

    double& operator()(int i, int j) {
        assert(i >= 0 && i < kExtent && j >= 0 && j < kExtent);
        return v_[static_cast<std::size_t>(i) * kExtent + static_cast<std::size_t>(j)];
    }
    double operator()(int i, int j) const {
        assert(i >= 0 && i < kExtent && j >= 0 && j < kExtent);
        return v_[static_cast<std::size_t>(i) * kExtent + static_cast<std::size_t>(j)];
    }
    // The nodes with first index i as a contiguous run of kExtent values (j = 0..101).
    double* column(int i) {
        assert(i >= 0 && i < kExtent);
        return v_.data() + static_cast<std::size_t>(i) * kExtent;
    }
    const double* column(int i) const {
        assert(i >= 0 && i < kExtent);
        return v_.data() + static_cast<std::size_t>(i) * kExtent;
    }

    bool operator==(const NodeArray&) const = default;

  private:
    std::array<double, static_cast<std::size_t>(kExtent) * kExtent> v_{};
};

// A vector with indices 0..extent-1.
template <typename E, int Extent>
class IndexedVector {
  public:
    static constexpr int kExtent = Extent;

    E& operator()(int k) {
        assert(k >= 0 && k < Extent);
        return v_[static_cast<std::size_t>(k)];
    }
    E operator()(int k) const {
        assert(k >= 0 && k < Extent);
        return v_[static_cast<std::size_t>(k)];
    }
    E* data() { return v_.data(); }
    const E* data() const { return v_.data(); }

    bool operator==(const IndexedVector&) const = default;

  private:
    std::array<E, Extent> v_{};
};

using SolverVector = IndexedVector<double, 102>;
using PaletteArray = IndexedVector<Colour, 257>;

// Everything the procedures share, all zero at start and kept between runs.
// Whoever plays the window owns one.
struct SimulationState {
    NodeArray X, Y, T, Told;
    double Nx = 0, Ny = 0, Nx1 = 0, Ny1 = 0;
    double dx = 0, dy = 0;
    SolverVector D, C, A, B;
    double Tmin = 0, Tmax = 0;
    double Tfield = 0, Tw1 = 0, Tw2 = 0, Tw3 = 0, Tw4 = 0;
    double Trange = 0;
    double SinAlfa = 0, CosAlfa = 0;
    PaletteArray Palette;
    Colour Black = 0, Red = 0;
    double Xc1 = 0, Xc2 = 0, Xc3 = 0, Xc4 = 0;
    double Yc1 = 0, Yc2 = 0, Yc3 = 0, Yc4 = 0;
    double Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    std::int16_t ColorIndex = 0;

    bool operator==(const SimulationState&) const = default;
};

}  // namespace heatplate
