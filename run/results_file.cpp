#include "run/results_file.h"

#include "numbers/decimal.h"
#include "numbers/number_format.h"

namespace heatplate {

std::string results_text(const SimulationState& s, const std::string& group_separator) {
    const int Nx = static_cast<int>(s.Nx);
    const int Ny = static_cast<int>(s.Ny);
    std::string out;
    out.reserve(static_cast<std::size_t>((Nx + 1) * (Ny + 1)) * 8 +
                static_cast<std::size_t>(Ny + 1) * 2);
    for (int j = 0; j <= Ny; ++j) {
        for (int i = 0; i <= Nx; ++i) {
            out += "  ";
            out += format_grouped_whole(s.T(i, j), group_separator);
        }
        out += "\r\n";
    }
    return out;
}

std::string full_precision_field(const SimulationState& s) {
    std::string out;
    char buf[kGeneralChars];
    for (int j = 0; j <= static_cast<int>(s.Ny); ++j) {
        for (int i = 0; i <= static_cast<int>(s.Nx); ++i) {
            // '.' as the decimal point whatever the locale.
            if (i > 0)
                out += ' ';
            out.append(buf, general_chars(buf, s.T(i, j), 17));
        }
        out += '\n';
    }
    return out;
}

}  // namespace heatplate
