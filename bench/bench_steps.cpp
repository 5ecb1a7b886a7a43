// One time step of each method plus the run's residual on the largest grid.
#include <benchmark/benchmark.h>

#include <cmath>

#include "model/simulation_state.h"
#include "solvers/adi.h"
#include "solvers/explicit_step.h"
#include "solvers/residual.h"

namespace {

using heatplate::SimulationState;

constexpr int kN = heatplate::kMaxIntervals;

// Walls at 100 and an uneven interior, so the divisions see ordinary values.
void set_up_plate(SimulationState& s) {
    s.Nx = s.Ny = kN;
    s.Nx1 = s.Ny1 = kN - 1;
    s.dx = s.dy = 1.0 / kN;
    for (int i = 0; i <= kN; ++i) {
        for (int j = 0; j <= kN; ++j) {
            const bool wall = i == 0 || j == 0 || i == kN || j == kN;
            s.T(i, j) = wall ? 100 : 50 + 40 * std::sin(0.37 * i + 0.11 * j * j);
            s.Told(i, j) = s.T(i, j);
        }
    }
}

template <void (*Step)(SimulationState&, int, int)>
void BM_StepWithResidual(benchmark::State& state) {
    static SimulationState s;
    set_up_plate(s);
    const int Nx1 = static_cast<int>(s.Nx1);
    const int Ny1 = static_cast<int>(s.Ny1);
    for (auto _ : state) {
        Step(s, Nx1, Ny1);
        benchmark::DoNotOptimize(heatplate::step_residual(s, Nx1, Ny1));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepWithResidual<heatplate::explicit_step>)
    ->Name("ExplicitStepWithResidual")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepWithResidual<heatplate::ADI>)
    ->Name("AdiStepWithResidual")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
