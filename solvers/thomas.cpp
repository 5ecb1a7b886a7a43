#include "solvers/thomas.h"

#include <array>
#include <stdexcept>
#include <string>

namespace heatplate {

void thomas(SimulationState& s, int N) {
    // The shared vectors hold rows 1..101 at most; a system without unknowns
    // has no pivot to divide by, so both ends are caller errors.
    if (N < 1 || N > kMaxIntervals) {
        throw std::out_of_range("thomas: system size " + std::to_string(N) + " outside 1.." +
                                std::to_string(kMaxIntervals));
    }
    // Only entries 1..N are ever read, and each is written before it is read.
    std::array<double, SolverVector::kExtent> Bmod;
    std::array<double, SolverVector::kExtent> Dmod;

    Bmod[1] = s.B(1);
    Dmod[1] = s.D(1);
    for (int i = 2; i <= N; ++i) {
        // The product goes over the previous pivot as it stands; forming the
        // multiplier A(i)/Bmod(i-1) first would round differently.
        Bmod[i] = s.B(i) - (s.C(i - 1) * s.A(i)) / Bmod[i - 1];
        Dmod[i] = s.D(i) - (Dmod[i - 1] * s.A(i)) / Bmod[i - 1];
    }
    s.D(N) = Dmod[N] / Bmod[N];
    for (int i = N - 1; i >= 1; --i) {
        s.D(i) = (Dmod[i] - s.D(i + 1) * s.C(i)) / Bmod[i];
    }
}

}  // namespace heatplate
