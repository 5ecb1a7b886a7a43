// Both methods against the exact solution of the heat equation on the unit
// square: walls at 100, interior at 0, unit diffusivity. With h = 1/N the
// coefficients dx = dy = 1/N are alpha dt / h^2 per half step, so an explicit
// step advances time by 1/N^3 and an ADI step by 2/N^3; at a fixed time the
// time error then shrinks at least as fast as h^2, and the error over the
// nodes must fall at second order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "solvers/adi.h"
#include "solvers/explicit_step.h"

namespace heatplate {
namespace {

// The Fourier series of the solution; at t = 0.02 the terms beyond
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

enum class Method { Explicit, Adi };

double max_error(Method method, int N, double t) {
    SimulationState s;
    s.Nx = s.Ny = N;
    s.dx = s.dy = 1.0 / N;
    for (int k = 0; k <= N; ++k) {
        for (NodeArray* a : {&s.T, &s.Told}) {
            (*a)(k, 0) = (*a)(k, N) = (*a)(0, k) = (*a)(N, k) = 100;
        }
    }
    const double step_time = (method == Method::Adi ? 2.0 : 1.0) / (N * N * N);
    const long steps = std::lround(t / step_time);
    for (long step = 0; step < steps; ++step) {
        for (int i = 1; i < N; ++i) {
            for (int j = 1; j < N; ++j)
                s.Told(i, j) = s.T(i, j);
        }
        if (method == Method::Adi) {
            ADI(s, N - 1, N - 1);
        } else {
            explicit_step(s, N - 1, N - 1);
        }
    }
    double worst = 0;
    for (int i = 1; i < N; ++i) {
        for (int j = 1; j < N; ++j) {
            worst = std::max(worst, std::abs(s.T(i, j) - exact(1.0 * i / N, 1.0 * j / N, t)));
        }
    }
    return worst;
}

TEST(Accuracy, BothMethodsConvergeAtSecondOrder) {
    for (Method method : {Method::Explicit, Method::Adi}) {
        const double e10 = max_error(method, 10, 0.02);
        const double e20 = max_error(method, 20, 0.02);
        const double e40 = max_error(method, 40, 0.02);
        SCOPED_TRACE(::testing::Message() << (method == Method::Adi ? "ADI" : "explicit")
                                          << ": errors " << e10 << ", " << e20 << ", " << e40);
        EXPECT_GE(std::log2(e10 / e20), 1.8);
        EXPECT_GE(std::log2(e20 / e40), 1.8);
    }
}

}  // namespace
}  // namespace heatplate
