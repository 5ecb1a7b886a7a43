// The explicit five-point step: which values it reads and the exact form of
// its update.
#include <gtest/gtest.h>

#include <random>

#include "solvers/explicit_step.h"

namespace heatplate {
namespace {

// Told filled with irregular values over the whole array, walls included.
SimulationState irregular_field(double dx, double dy) {
    SimulationState s;
    s.dx = dx;
    s.dy = dy;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-50.0, 150.0);
    for (int i = 0; i < NodeArray::kExtent; ++i) {
        for (int j = 0; j < NodeArray::kExtent; ++j) {
            s.Told(i, j) = u(rng);
            s.T(i, j) = u(rng);
        }
    }
    return s;
}

TEST(ExplicitStep, UpdatesTheSingleInteriorNodeByTheFormula) {
    SimulationState s = irregular_field(0.3, 0.45);
    const SimulationState before = s;
    explicit_step(s, 1, 1);
    const NodeArray& o = before.Told;
    const double expected = (o(1, 1) + 0.3 * ((o(0, 1) - 2 * o(1, 1)) + o(2, 1))) +
                            0.45 * ((o(1, 0) - 2 * o(1, 1)) + o(1, 2));
    EXPECT_EQ(s.T(1, 1), expected);
    s.T(1, 1) = before.T(1, 1);
    EXPECT_TRUE(s == before) << "a node other than (1, 1) changed";
}

TEST(ExplicitStep, NoInteriorMeansNoChange) {
    SimulationState s = irregular_field(0.25, 0.25);
    const SimulationState before = s;
    explicit_step(s, 0, 5);
    explicit_step(s, 5, 0);
    EXPECT_TRUE(s == before);
}

TEST(ExplicitStep, UniformFieldStaysExactly) {
    SimulationState s;
    s.dx = 1.0 / 7;
    s.dy = 0.5;
    for (int i = 0; i <= 8; ++i) {
        for (int j = 0; j <= 13; ++j) {
            s.Told(i, j) = 37.3;
        }
    }
    explicit_step(s, 7, 12);
    for (int i = 1; i <= 7; ++i) {
        for (int j = 1; j <= 12; ++j) {
            ASSERT_EQ(s.T(i, j), 37.3) << i << "," << j;
        }
    }
}

TEST(ExplicitStep, QuarterCoefficientsGiveTheNeighboursMean) {
    SimulationState s;
    s.dx = s.dy = 0.25;
    s.Told(1, 2) = s.Told(3, 2) = s.Told(2, 1) = s.Told(2, 3) = 100;
    explicit_step(s, 3, 3);
    EXPECT_EQ(s.T(2, 2), 100);
}

TEST(ExplicitStep, ReadsOnlyTold) {
    SimulationState a = irregular_field(0.2, 0.1);
    SimulationState b = a;
    for (int i = 1; i <= 100; ++i) {
        for (int j = 1; j <= 100; ++j) {
            b.T(i, j) = -a.T(i, j) * 3;
        }
    }
    explicit_step(a, 100, 100);
    explicit_step(b, 100, 100);
    EXPECT_TRUE(a.T == b.T);
    EXPECT_TRUE(a.Told == b.Told);
}

}  // namespace
}  // namespace heatplate
