#include "solvers/method.h"

#include <array>

#include "solvers/adi.h"
#include "solvers/explicit_step.h"

namespace heatplate {
namespace {

constexpr std::array kMethods{
    MethodTraits{Method::Explicit, "explicit", explicit_step, true},
    MethodTraits{Method::ADI, "adi", ADI, false},
};

}  // namespace

std::span<const MethodTraits> methods() {
    return kMethods;
}

const MethodTraits* method_by_key(std::string_view key) {
    for (const MethodTraits& m : kMethods) {
        if (m.key == key) {
            return &m;
        }
    }
    return nullptr;
}

}  // namespace heatplate
