// The tridiagonal solver: small systems with exact solutions, entries outside
// the system, and sizes the vectors cannot hold.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "solvers/thomas.h"

namespace heatplate {
namespace {

// A(1), C(N), D(0) and D(N + 1) hold values that would spoil the solution if
// they were read; only D(1..N) may change, to exactly (1, 1, 1) for N = 3.
TEST(Thomas, SmallSystemsSolveExactlyAndLeaveTheRestAlone) {
    SimulationState s;
    s.A(1) = s.C(1) = 1e300;
    s.B(1) = 3;
    s.D(1) = 1;
    thomas(s, 1);
    EXPECT_EQ(s.D(1), 1.0 / 3);

    s.A(2) = s.A(3) = s.C(1) = s.C(2) = 0.5;
    s.B(1) = s.B(2) = s.B(3) = -2;
    s.C(3) = -7e299;
    s.D(0) = 1e300;
    s.D(4) = -3;
    s.D(1) = -1.5;
    s.D(2) = -1;
    s.D(3) = -1.5;
    SimulationState expected = s;
    expected.D(1) = expected.D(2) = expected.D(3) = 1;
    thomas(s, 3);
    EXPECT_TRUE(s == expected);
}

// Up to 101 unknowns fit; here the solution of the largest system is all ones.
TEST(Thomas, OnlySizesTheVectorsHoldAreSolved) {
    SimulationState s;
    s.B(101) = 4;
    s.D(101) = 7;
    const SimulationState before = s;
    for (int N : {0, -1, 102, INT_MAX, INT_MIN}) {
        EXPECT_THROW(thomas(s, N), std::out_of_range) << N;
    }
    EXPECT_TRUE(s == before);

    for (int k = 1; k <= 101; ++k) {
        s.A(k) = s.C(k) = 0.5;
        s.B(k) = -2;
        s.D(k) = k == 1 || k == 101 ? -1.5 : -1;
    }
    thomas(s, 101);
    for (int k = 1; k <= 101; ++k)
        EXPECT_NEAR(s.D(k), 1, 1e-14) << k;
}

}  // namespace
}  // namespace heatplate
