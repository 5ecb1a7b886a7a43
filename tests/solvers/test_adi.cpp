// The ADI step: known small cases, what it reads, and bit equality with the
// plain line-by-line form it is optimised from.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <stdexcept>

#include "solvers/adi.h"
#include "solvers/thomas.h"

namespace heatplate {
namespace {

// The method written out one grid line and one thomas call at a time.
void reference_ADI(SimulationState& s, int Nx1, int Ny1) {
    const int Nx = static_cast<int>(s.Nx);
    const int Ny = static_cast<int>(s.Ny);
    for (int j = 1; j <= Ny1; ++j) {
        const double P = -(2 * s.dx + 1);
        for (int i = 1; i <= Nx1; ++i) {
            s.A(i) = s.dx;
            s.B(i) = P;
            s.C(i) = s.dx;
            s.D(i) = ((-s.dy) * s.Told(i, j - 1) + s.Told(i, j) * (2 * s.dy - 1)) -
                     s.dy * s.Told(i, j + 1);
        }
        s.D(1) = s.D(1) - s.dx * s.T(0, j);
        s.D(Nx1) = s.D(Nx1) - s.dx * s.T(Nx, j);
        thomas(s, Nx1);
        for (int i = 1; i <= Nx1; ++i)
            s.T(i, j) = s.D(i);
    }
    for (int i = 1; i <= Nx1; ++i) {
        for (int j = 1; j <= Ny1; ++j)
            s.Told(i, j) = s.T(i, j);
    }
    for (int i = 1; i <= Nx1; ++i) {
        const double Q = -(2 * s.dy + 1);
        for (int j = 1; j <= Ny1; ++j) {
            s.A(j) = s.dy;
            s.B(j) = Q;
            s.C(j) = s.dy;
            s.D(j) = ((-s.dx) * s.Told(i - 1, j) + s.Told(i, j) * (2 * s.dx - 1)) -
                     s.dx * s.Told(i + 1, j);
        }
        s.D(1) = s.D(1) - s.dy * s.T(i, 0);
        s.D(Ny1) = s.D(Ny1) - s.dy * s.T(i, Ny);
        thomas(s, Ny1);
        for (int j = 1; j <= Ny1; ++j)
            s.T(i, j) = s.D(j);
    }
}

// A plate of Nx by Ny intervals as a run sets it up: walls in T and Told,
// the interior of Told to advance. Every other entry, solver vectors
// included, holds irregular values a step must not depend on or disturb.
// An irregular plate has irregular values everywhere, its walls in T and
// Told differing, so that reading a wall from the wrong array shows.
SimulationState plate(int Nx, int Ny, double interior, double wall, bool irregular) {
    SimulationState s;
    s.Nx = Nx;
    s.Ny = Ny;
    s.dx = 1.0 / Nx;
    s.dy = 1.0 / Ny;
    std::mt19937 rng(static_cast<unsigned>(Nx * 1000 + Ny));
    std::uniform_real_distribution<double> u(-50.0, 150.0);
    for (int i = 0; i < NodeArray::kExtent; ++i) {
        for (int j = 0; j < NodeArray::kExtent; ++j) {
            const bool is_wall = (i == 0 || i == Nx || j == 0 || j == Ny) && i <= Nx && j <= Ny;
            s.Told(i, j) = irregular ? u(rng) : is_wall ? wall : interior;
            s.T(i, j) = is_wall && !irregular ? s.Told(i, j) : u(rng);
        }
    }
    for (SolverVector* v : {&s.A, &s.B, &s.C, &s.D}) {
        for (int k = 0; k < SolverVector::kExtent; ++k)
            (*v)(k) = u(rng);
    }
    return s;
}

template <typename V>
bool same_bits(const V& a, const V& b) {
    return std::memcmp(&a, &b, sizeof(V)) == 0;
}

TEST(ADI, MatchesTheLineByLineSolveBitForBit) {
    for (auto [Nx, Ny] : {std::pair{101, 101}, {2, 101}, {101, 2}, {8, 14}, {14, 8}, {3, 3}}) {
        SimulationState fast = plate(Nx, Ny, 0, 0, true);
        SimulationState plain = fast;
        ADI(fast, Nx - 1, Ny - 1);
        reference_ADI(plain, Nx - 1, Ny - 1);
        SCOPED_TRACE(::testing::Message() << "Nx=" << Nx << " Ny=" << Ny);
        EXPECT_TRUE(same_bits(fast.T, plain.T));
        EXPECT_TRUE(same_bits(fast.Told, plain.Told));
        EXPECT_TRUE(same_bits(fast.A, plain.A));
        EXPECT_TRUE(same_bits(fast.B, plain.B));
        EXPECT_TRUE(same_bits(fast.C, plain.C));
        EXPECT_TRUE(same_bits(fast.D, plain.D));
    }
}

TEST(ADI, SingleInteriorNodeReachesTheWalls) {
    SimulationState s = plate(2, 2, 0, 100, false);
    ADI(s, 1, 1);
    EXPECT_EQ(s.T(1, 1), 100);
    EXPECT_EQ(s.Told(1, 1), 100);
}

TEST(ADI, FourByFourGivesTheHandSolvedField) {
    SimulationState s = plate(4, 4, 0, 100, false);
    ADI(s, 3, 3);
    // The row sweep's field in Told, the column sweep's in T; symmetric.
    EXPECT_DOUBLE_EQ(s.Told(1, 1), 650.0 / 17);
    EXPECT_DOUBLE_EQ(s.Told(2, 1), 500.0 / 17);
    EXPECT_DOUBLE_EQ(s.Told(2, 2), 100.0 / 17);
    EXPECT_DOUBLE_EQ(s.T(1, 1), 16800.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(3, 3), 16800.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(2, 1), 12400.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(1, 2), 12400.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(2, 2), 6400.0 / 289);
}

TEST(ADI, UniformFieldStaysWithinRounding) {
    SimulationState s = plate(37, 23, 61.7, 61.7, false);
    ADI(s, 36, 22);
    for (int i = 1; i <= 36; ++i) {
        for (int j = 1; j <= 22; ++j) {
            ASSERT_DOUBLE_EQ(s.T(i, j), 61.7) << i << "," << j;
            ASSERT_DOUBLE_EQ(s.Told(i, j), 61.7) << i << "," << j;
        }
    }
}

TEST(ADI, InteriorOfTBeforeTheStepHasNoEffect) {
    SimulationState a = plate(20, 30, 10, 100, false);
    SimulationState b = a;
    for (int i = 1; i <= 19; ++i) {
        for (int j = 1; j <= 29; ++j)
            b.T(i, j) = 1e6 * i - j;
    }
    ADI(a, 19, 29);
    ADI(b, 19, 29);
    EXPECT_TRUE(same_bits(a.T, b.T));
    EXPECT_TRUE(same_bits(a.Told, b.Told));
}

TEST(ADI, ExtentsWithoutInteriorOrBeyondTheArraysChangeNothing) {
    SimulationState s = plate(101, 101, 0, 0, true);
    const SimulationState before = s;
    ADI(s, 0, 100);
    ADI(s, 100, 0);
    ADI(s, -3, -3);
    EXPECT_THROW(ADI(s, 101, 5), std::out_of_range);
    EXPECT_THROW(ADI(s, 5, 101), std::out_of_range);
    s.Ny = 102;  // a wall index outside the arrays
    EXPECT_THROW(ADI(s, 100, 100), std::out_of_range);
    s.Ny = before.Ny;
    EXPECT_TRUE(s == before);
}

}  // namespace
}  // namespace heatplate
