#include "run/field_data.h"

#include "model/grid.h"
#include "numbers/decimal.h"

namespace heatplate {

std::string field_table(const SimulationState& s, char separator) {
    const int Nx = grid_extent(s.Nx);
    const int Ny = grid_extent(s.Ny);
    std::string out = std::string("x") + separator + "y" + separator + "T\n";
    for (int j = 0; j <= Ny; ++j) {
        for (int i = 0; i <= Nx; ++i) {
            out += shortest_text(s.X(i, j));
            out += separator;
            out += shortest_text(s.Y(i, j));
            out += separator;
            out += shortest_text(s.T(i, j));
            out += '\n';
        }
    }
    return out;
}

std::string residual_table(std::span<const double> residuals, char separator) {
    std::string out = std::string("step") + separator + "residual\n";
    for (std::size_t k = 0; k < residuals.size(); ++k) {
        out += std::to_string(k + 1);
        out += separator;
        out += shortest_text(residuals[k]);
        out += '\n';
    }
    return out;
}

}  // namespace heatplate
