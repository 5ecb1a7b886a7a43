// The tridiagonal solver on systems with known solutions, and what it must
// leave alone.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

#include "solvers/thomas.h"

namespace heatplate {
namespace {

// A random system with unknowns 1..N whose rows are diagonally dominant by at
// least 1, with the right-hand side formed from the returned solution.
SolverVector random_system(SimulationState& s, int N, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    SolverVector x;
    for (int k = 1; k <= N; ++k) {
        x(k) = u(rng);
        s.A(k) = k > 1 ? u(rng) : 0;
        s.C(k) = k < N ? u(rng) : 0;
        const double margin = std::abs(s.A(k)) + std::abs(s.C(k)) + 1 + std::abs(u(rng));
        s.B(k) = u(rng) < 0 ? -margin : margin;
    }
    for (int k = 1; k <= N; ++k) {
        s.D(k) = s.B(k) * x(k);
        if (k > 1)
            s.D(k) += s.A(k) * x(k - 1);
        if (k < N)
            s.D(k) += s.C(k) * x(k + 1);
    }
    return x;
}

TEST(Thomas, SmallSystemsSolveExactly) {
    SimulationState s;
    s.B(1) = 3;
    s.D(1) = 1;
    thomas(s, 1);
    EXPECT_EQ(s.D(1), 1.0 / 3);

    s.A(2) = s.A(3) = s.C(1) = s.C(2) = 0.5;
    s.B(1) = s.B(2) = s.B(3) = -2;
    s.D(1) = -1.5;
    s.D(2) = -1;
    s.D(3) = -1.5;
    thomas(s, 3);
    EXPECT_EQ(s.D(1), 1);
    EXPECT_EQ(s.D(2), 1);
    EXPECT_EQ(s.D(3), 1);
}

// With a dominance margin of 1 the inverse has norm at most 1 and elimination
// without pivoting is backward stable, so the error stays within a small
// multiple of N * eps * |A| (about 101 * 2.2e-16 * 5 = 1e-13). A wrong operand
// or a swapped diagonal errs by far more than 1e-12.
TEST(Thomas, RecoversAChosenSolution) {
    for (int N : {2, 3, 17, 101}) {
        SimulationState s;
        const SolverVector x = random_system(s, N, static_cast<unsigned>(N));
        thomas(s, N);
        for (int k = 1; k <= N; ++k) {
            EXPECT_NEAR(s.D(k), x(k), 1e-12) << "N=" << N << " k=" << k;
        }
    }
}

TEST(Thomas, EntriesOutsideTheSystemNeitherMatterNorChange) {
    const int N = 6;
    SimulationState clean;
    random_system(clean, N, 7);
    SimulationState dirty = clean;
    dirty.A(1) = std::numeric_limits<double>::quiet_NaN();
    dirty.C(N) = std::numeric_limits<double>::quiet_NaN();
    dirty.D(0) = 1e300;
    dirty.D(N + 1) = -3;
    const SimulationState before = dirty;

    thomas(clean, N);
    thomas(dirty, N);
    for (int k = 1; k <= N; ++k) {
        EXPECT_EQ(dirty.D(k), clean.D(k)) << k;
    }
    EXPECT_EQ(dirty.D(0), 1e300);
    EXPECT_EQ(dirty.D(N + 1), -3);
    EXPECT_EQ(dirty.B, before.B);
    for (int k = 2; k <= N; ++k) {
        EXPECT_EQ(dirty.A(k), before.A(k));
        EXPECT_EQ(dirty.C(k - 1), before.C(k - 1));
    }
}

TEST(Thomas, SizesTheVectorsCannotHoldAreRefusedUntouched) {
    SimulationState s;
    random_system(s, 101, 3);
    const SimulationState before = s;
    for (int N : {0, -1, 102, INT_MAX, INT_MIN}) {
        EXPECT_THROW(thomas(s, N), std::out_of_range) << N;
    }
    EXPECT_TRUE(s == before);
}

}  // namespace
}  // namespace heatplate
