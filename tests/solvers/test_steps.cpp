// The two time steps: the explicit update's exact form, the ADI step against
// hand-solved plates and exactly against the plain line-by-line form it
// is optimised from, the table the run finds them in, and the accuracy of
// both against the exact solution.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "solvers/adi.h"
#include "solvers/explicit_step.h"
#include "solvers/method.h"
#include "solvers/thomas.h"
#include "tests/support/reference_scheme.h"

namespace heatplate {
namespace {

// An Nx x Ny plate with irregular values in all of T, Told and the solver
// vectors, the walls of T and Told differing: reading a value from the wrong
// array, or one a step should not depend on, shows.
SimulationState irregular(int Nx, int Ny) {
    SimulationState s;
    s.Nx = Nx;
    s.Ny = Ny;
    s.dx = 1.0 / Nx;
    s.dy = 1.0 / Ny;
    std::mt19937 rng(static_cast<unsigned>(Nx * 1000 + Ny));
    std::uniform_real_distribution<double> u(-50.0, 150.0);
    for (int i = 0; i < NodeArray::kExtent; ++i) {
        for (int j = 0; j < NodeArray::kExtent; ++j) {
            s.Told(i, j) = u(rng);
            s.T(i, j) = u(rng);
        }
    }
    for (SolverVector* v : {&s.A, &s.B, &s.C, &s.D}) {
        for (int k = 0; k < SolverVector::kExtent; ++k)
            (*v)(k) = u(rng);
    }
    return s;
}

// An N x N plate with walls at 100, interior at 0 and coefficients 1 / N.
SimulationState walled(int N) {
    SimulationState s;
    s.Nx = s.Ny = N;
    s.dx = s.dy = 1.0 / N;
    for (int k = 0; k <= N; ++k) {
        for (NodeArray* a : {&s.T, &s.Told})
            (*a)(k, 0) = (*a)(k, N) = (*a)(0, k) = (*a)(N, k) = 100;
    }
    return s;
}

TEST(ExplicitStep, UpdatesTheSingleInteriorNodeFromToldAlone) {
    SimulationState s = irregular(2, 2);
    s.dx = 0.3;
    s.dy = 0.45;
    const SimulationState before = s;
    explicit_step(s, 0, 5);  // no interior: no change
    explicit_step(s, 5, 0);
    explicit_step(s, 1, 1);
    const NodeArray& o = before.Told;
    EXPECT_EQ(s.T(1, 1), (o(1, 1) + 0.3 * ((o(0, 1) - 2 * o(1, 1)) + o(2, 1))) +
                             0.45 * ((o(1, 0) - 2 * o(1, 1)) + o(1, 2)));
    s.T(1, 1) = before.T(1, 1);
    EXPECT_TRUE(s == before) << "a node other than (1, 1) changed";

    SimulationState q;  // coefficients 1/4: the mean of the four neighbours
    q.dx = q.dy = 0.25;
    q.Told(1, 2) = q.Told(3, 2) = q.Told(2, 1) = q.Told(2, 3) = 100;
    explicit_step(q, 3, 3);
    EXPECT_EQ(q.T(2, 2), 100);
}

// Every node of plates long and wide, with uneven coefficients: a sum
// grouped otherwise, a neighbour taken from the wrong side or a line left
// out changes some bit somewhere.
TEST(ExplicitStep, MatchesTheFormulaToTheBitOnEveryNode) {
    for (auto [Nx, Ny] : {std::pair{101, 101}, {2, 101}, {101, 2}, {7, 13}, {13, 7}}) {
        SimulationState fast = irregular(Nx, Ny);
        fast.dx = 0.3 / Nx + 0.1;
        fast.dy = 0.17;
        SimulationState plain = fast;
        explicit_step(fast, Nx - 1, Ny - 1);
        testing::reference_explicit(plain, Nx - 1, Ny - 1);
        EXPECT_TRUE(fast == plain) << "Nx=" << Nx << " Ny=" << Ny;
    }
}

// Equal values throughout; on irregular values that is equality to the bit.
// The last column's system, formed again from the row sweep's field left in
// Told and handed to thomas, gives the step's bits too: the lines solved
// together are solved as thomas solves one.
TEST(ADI, MatchesTheLineByLineSolveExactly) {
    for (auto [Nx, Ny] : {std::pair{101, 101}, {2, 101}, {101, 2}, {7, 13}, {13, 7}}) {
        SimulationState fast = irregular(Nx, Ny);
        SimulationState plain = fast;
        ADI(fast, Nx - 1, Ny - 1);
        testing::reference_ADI(plain, Nx - 1, Ny - 1);
        EXPECT_TRUE(fast == plain) << "Nx=" << Nx << " Ny=" << Ny;

        SimulationState column = fast;
        const int i = Nx - 1;
        const double dx = fast.dx;
        for (int j = 1; j < Ny; ++j) {
            column.D(j) = ((-dx) * fast.Told(i - 1, j) + fast.Told(i, j) * (2 * dx - 1)) -
                          dx * fast.Told(i + 1, j);
        }
        column.D(1) = column.D(1) - fast.dy * fast.T(i, 0);
        column.D(Ny - 1) = column.D(Ny - 1) - fast.dy * fast.T(i, Ny);
        thomas(column, Ny - 1);
        EXPECT_TRUE(column.D == fast.D) << "Nx=" << Nx << " Ny=" << Ny;
    }
}

TEST(ADI, SmallPlatesGiveTheHandSolvedFields) {
    SimulationState two = walled(2);
    ADI(two, 1, 1);
    EXPECT_EQ(two.T(1, 1), 100);
    EXPECT_EQ(two.Told(1, 1), 100);

    SimulationState s = walled(4);
    ADI(s, 3, 3);
    // The row sweep's field in Told, the column sweep's in T; symmetric.
    EXPECT_DOUBLE_EQ(s.Told(1, 1), 650.0 / 17);
    EXPECT_DOUBLE_EQ(s.Told(2, 1), 500.0 / 17);
    EXPECT_DOUBLE_EQ(s.Told(1, 2), 300.0 / 17);
    EXPECT_DOUBLE_EQ(s.Told(2, 2), 100.0 / 17);
    EXPECT_DOUBLE_EQ(s.T(1, 1), 16800.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(3, 3), 16800.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(2, 1), 12400.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(1, 2), 12400.0 / 289);
    EXPECT_DOUBLE_EQ(s.T(2, 2), 6400.0 / 289);
}

// The table lists the methods in the order of their enum, which the option
// buttons share, and the command line names each by its whole key alone.
TEST(Methods, EachIsFoundByItsPlaceAndByItsWholeName) {
    ASSERT_EQ(methods().size(), 2u);
    for (std::size_t k = 0; k < methods().size(); ++k) {
        const auto m = static_cast<Method>(k);
        EXPECT_EQ(methods()[k].method, m);
        EXPECT_EQ(method_by_key(methods()[k].key), &methods()[k]);
    }
    EXPECT_EQ(methods()[static_cast<std::size_t>(Method::Explicit)].key, "explicit");
    EXPECT_EQ(methods()[static_cast<std::size_t>(Method::ADI)].key, "adi");
    for (const char* key : {"", "a", "ADI", "Explicit", "explicitly"})
        EXPECT_EQ(method_by_key(key), nullptr) << '"' << key << '"';
}

// The exact solution on the unit square with walls at 100, interior at 0 and
// unit diffusivity, as its Fourier series; at t = 0.02 the terms beyond
// m, n = 41 are below 1e-60 of the first.
double exact(double x, double y, double t) {
    const double pi = std::numbers::pi;
    double sum = 0;
    for (int m = 1; m <= 41; m += 2) {
        for (int n = 1; n <= 41; n += 2) {
            sum += 1600 / (pi * pi * m * n) * std::sin(m * pi * x) * std::sin(n * pi * y) *
                   std::exp(-pi * pi * (m * m + n * n) * t);
        }
    }
    return 100 - sum;
}

// With h = 1/N the coefficients 1/N are alpha dt / h^2 per half step, so an
// explicit step advances time by 1/N^3 and an ADI step by 2/N^3; the time
// error then shrinks at least as fast as h^2.
double max_error(bool adi, int N, double t) {
    SimulationState s = walled(N);
    const long steps = std::lround(t / ((adi ? 2.0 : 1.0) / (N * N * N)));
    for (long step = 0; step < steps; ++step) {
        for (int i = 1; i < N; ++i) {
            for (int j = 1; j < N; ++j)
                s.Told(i, j) = s.T(i, j);
        }
        adi ? ADI(s, N - 1, N - 1) : explicit_step(s, N - 1, N - 1);
    }
    double worst = 0;
    for (int i = 1; i < N; ++i) {
        for (int j = 1; j < N; ++j)
            worst = std::max(worst, std::abs(s.T(i, j) - exact(1.0 * i / N, 1.0 * j / N, t)));
    }
    return worst;
}

TEST(Accuracy, BothMethodsConvergeAtSecondOrder) {
    for (const bool adi : {false, true}) {
        const double e10 = max_error(adi, 10, 0.02);
        const double e20 = max_error(adi, 20, 0.02);
        const double e40 = max_error(adi, 40, 0.02);
        SCOPED_TRACE(::testing::Message() << (adi ? "ADI" : "explicit") << ": errors " << e10
                                          << ", " << e20 << ", " << e40);
        EXPECT_GE(std::log2(e10 / e20), 1.8);
        EXPECT_GE(std::log2(e20 / e40), 1.8);
    }
}

}  // namespace
}  // namespace heatplate
