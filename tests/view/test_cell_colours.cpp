// The cells' colours: the vector way against the exact one, next to every
// half of the scale and with odd nodes, scales and palettes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "tests/support/map_scale.h"
#include "view/cell_colours.h"

namespace heatplate {
namespace {

using testing::grid_state;
using testing::last_below_half;
using testing::scaled_mean;

// The temperatures whose cell means lie nearest the halves of the scale
// from -40 to 100: around each of the 255 halves, the 48 next to it.
std::vector<double> next_to_halves() {
    std::vector<double> out;
    for (int k = 0; k < 255; ++k) {
        double t = last_below_half(k);
        for (int d = 0; d < 24; ++d) {
            t = std::nextafter(t, -1e9);
        }
        for (int d = 0; d < 48; ++d) {
            out.push_back(t);
            t = std::nextafter(t, 1e9);
        }
    }
    return out;
}

// Compares the colours the quick way gives a field with those of the exact
// way.
class EveryWay : public ::testing::Test {
  protected:
    // The colours and the last index of the quick way are the exact way's.
    void expect_exact(const CellColourer& colourer, int Nx, int Ny) {
        const std::size_t cells = static_cast<std::size_t>(Nx) * Ny;
        const std::int16_t last =
            colourer.colour_cells(s.T, Nx, Ny, std::span(expected.data(), cells), ColourWay::Exact);
        std::fill(got.begin(), got.end(), 12345);
        EXPECT_EQ(
            colourer.colour_cells(s.T, Nx, Ny, std::span(got.data(), cells), ColourWay::Vector),
            last);
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + cells, expected.begin()));
    }

    // Nodes (0..Nx, 0..Ny) on the scale, then `odd` at one random node, or
    // at a third of them when `many`.
    void fill(int Nx, int Ny, double Tmin, double Tmax, std::span<const double> odd, bool many) {
        std::uniform_real_distribution<double> inside(Tmin, Tmax);
        for (int i = 0; i <= Nx; ++i) {
            for (int j = 0; j <= Ny; ++j) {
                s.T(i, j) = many && rng() % 3 == 0 ? odd[rng() % odd.size()] : inside(rng);
            }
        }
        if (!many && !odd.empty()) {
            s.T(static_cast<int>(rng() % static_cast<unsigned>(Nx + 1)),
                static_cast<int>(rng() % static_cast<unsigned>(Ny + 1))) = odd[0];
        }
    }

    SimulationState s = grid_state(1, 1, 0);
    std::mt19937 rng{2026};
    std::vector<Colour> expected = std::vector<Colour>(kMaxIntervals * kMaxIntervals);
    std::vector<Colour> got = std::vector<Colour>(kMaxIntervals * kMaxIntervals);
};

// Every temperature next to a half of the scale, each in a column of cells
// of that one temperature (node columns in pairs; the columns between mix
// two): the quick way, which decides column by column, gives its estimates
// up to the exact way where those could round apart. 96 rows fill whole
// groups of cells; 101 leave a tail.
TEST_F(EveryWay, CellsNextToAHalfGetTheExactColour) {
    const std::vector<double> halves = next_to_halves();
    constexpr int Nx = kMaxIntervals - 1;
    for (const int Ny : {96, kMaxIntervals}) {
        for (std::size_t next = 0; next < halves.size(); next += Nx / 2) {
            for (int i = 0; i <= Nx; ++i) {
                for (int j = 0; j <= Ny; ++j) {
                    s.T(i, j) = halves[(next + static_cast<std::size_t>(i) / 2) % halves.size()];
                }
            }
            SCOPED_TRACE(::testing::Message() << Ny << " rows next to halves from " << next);
            expect_exact(CellColourer(-40, 100, 140, s.Palette.data()), Nx, Ny);
        }
    }
}

// Columns of each length around the vectors' widths, on the scale
// throughout, with one odd node (a mean just outside either end, at either
// end, next to a half, not a number, infinite or huge) or with many; scales
// without width, tiny, wide, or far from 0, each with the Trange the inputs
// give it, a narrower and a wider one; a palette on a line and one that is
// not.
TEST_F(EveryWay, OddNodesScalesAndPalettesGetTheExactColours) {
    const double inf = std::numeric_limits<double>::infinity();
    std::array<Colour, 257> bent{};
    for (std::size_t k = 1; k <= 255; ++k) {
        bent[k] = static_cast<Colour>(k * k * 251 % 16777216);
    }
    const std::pair<double, double> scales[] = {
        {-40, 100}, {0, 0}, {5, 5 + 1e-300}, {1e6, 1e6 + 1}, {-1e308, 1e308}};
    for (const auto& [Tmin, Tmax] : scales) {
        const double odd[] = {std::nextafter(Tmax, inf),
                              std::nextafter(Tmin, -inf),
                              Tmin,
                              Tmax,
                              last_below_half(static_cast<int>(rng() % 255)),
                              std::numeric_limits<double>::quiet_NaN(),
                              inf,
                              -inf,
                              1e308};
        for (const int Ny : {1, 3, 4, 7, 8, 9, 15, 16, 17, 100, 101}) {
            // On the scale; one odd node of each kind; many odd nodes.
            for (std::size_t kind = 0; kind <= std::size(odd) + 1; ++kind) {
                const int Nx = 1 + static_cast<int>(rng() % 4);
                const bool many = kind > std::size(odd);
                fill(Nx, Ny, Tmin, Tmax,
                     many ? std::span(odd)
                          : std::span(odd).subspan(kind == 0 ? 0 : kind - 1, kind == 0 ? 0 : 1),
                     many);
                for (const Colour* palette : {s.Palette.data(), bent.data()}) {
                    for (const double stretch : {1.0, 0.5, 2.0}) {
                        SCOPED_TRACE(::testing::Message()
                                     << "scale " << Tmin << ".." << Tmax << " x " << stretch << ", "
                                     << Nx << " x " << Ny << ", kind " << kind
                                     << (palette == bent.data() ? ", bent" : ""));
                        const double Trange = (Tmax - Tmin) * stretch;
                        expect_exact(CellColourer(Tmin, Tmax, Trange, palette), Nx, Ny);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace heatplate
