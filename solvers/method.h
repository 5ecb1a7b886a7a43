#pragma once

#include <span>
#include <string_view>

#include "model/simulation_state.h"

namespace heatplate {

// The time-stepping methods a run can use, in the order the run looks for
// the one the user chose.
enum class Method { Explicit, ADI };

// What a run needs to know of a method.
struct MethodTraits {
    Method method;
    // The name a command line knows it by.
    std::string_view key;
    // One time step over the interior i = 1..Nx1, j = 1..Ny1: T receives the
    // new field from Told and the walls.
    void (*step)(SimulationState& s, int Nx1, int Ny1);
    // Whether the scheme is stable only for coefficients dx, dy up to 0.5,
    // so that a run caps them (and shows them) before every step.
    bool caps_coefficients;
};

// Every method, in the order above.
std::span<const MethodTraits> methods();

// The method of that command-line name, or nullptr.
const MethodTraits* method_by_key(std::string_view key);

}  // namespace heatplate
