#include "app/form1_core.h"

#include <cmath>
#include <cstdint>

#include "platform/number_parse.h"
#include "platform/text_file.h"
#include "solvers/adi.h"
#include "solvers/explicit_step.h"
#include "view/palette.h"
#include "view/temperature_map.h"
#include "view/view3d.h"

namespace heatplate {
namespace {

bool is_valid_extent(double n) {
    return n == std::floor(n) && n >= 2 && n <= kMaxIntervals;
}

std::string extent_refusal(const char* label, double n) {
    if (is_valid_extent(n)) {
        return {};
    }
    return std::string(label) + " must be a whole number from 2 to " +
           std::to_string(kMaxIntervals) + ".";
}

std::string finite_refusal(const char* label, double v) {
    if (std::isfinite(v)) {
        return {};
    }
    return std::string(label) + " must be a finite number.";
}

}  // namespace

double step_residual(const SimulationState& s, int Nx1, int Ny1) {
    double SumSq = 0;
    for (int i = 1; i <= Nx1; ++i) {
        const double* t = s.T.column(i);
        const double* told = s.Told.column(i);
        for (int j = 1; j <= Ny1; ++j) {
            const double change = t[j] - told[j];
            SumSq = SumSq + change * change;
        }
    }
    return std::sqrt(SumSq) / (s.Nx1 * s.Ny1);
}

Form1Core::Inputs Form1Core::read_inputs() const {
    auto read = [this](TextBoxId box) { return parse_leading_number(controls_.text(box)); };
    Inputs in{};
    in.Nx = read(TextBoxId::Text_Nx);
    in.Ny = read(TextBoxId::Text_Ny);
    in.Tw1 = read(TextBoxId::Text_Tw1);
    in.Tw2 = read(TextBoxId::Text_Tw2);
    in.Tw3 = read(TextBoxId::Text_Tw3);
    in.Tw4 = read(TextBoxId::Text_Tw4);
    in.Tfield = read(TextBoxId::Text_Tfield);
    in.MaxTime = read(TextBoxId::Text_MaxTime);
    return in;
}

std::string Form1Core::refusal(const Inputs& in) {
    // Checked in the order of the boxes' reading, so the first offender is named.
    for (const std::string& msg : {
             extent_refusal("Nx", in.Nx),
             extent_refusal("Ny", in.Ny),
             finite_refusal("Tw1", in.Tw1),
             finite_refusal("Tw2", in.Tw2),
             finite_refusal("Tw3", in.Tw3),
             finite_refusal("Tw4", in.Tw4),
             finite_refusal("Initial field temperature", in.Tfield),
             finite_refusal("t Max", in.MaxTime),
         }) {
        if (!msg.empty()) {
            return msg;
        }
    }
    if (in.MaxTime == 0) {
        return "t Max must be a number of time steps other than 0.";
    }
    return {};
}

void Form1Core::set_up(const Inputs& in) {
    SimulationState& s = state_;
    s.Nx = in.Nx;
    s.Ny = in.Ny;
    s.Tw1 = in.Tw1;
    s.Tw2 = in.Tw2;
    s.Tw3 = in.Tw3;
    s.Tw4 = in.Tw4;
    s.Tfield = in.Tfield;

    const std::int16_t Lx = 1;
    const std::int16_t Ly = 1;
    s.Nx1 = s.Nx - 1;
    s.Ny1 = s.Ny - 1;
    s.dx = Lx / s.Nx;
    s.dy = Ly / s.Ny;

    const int Nx = static_cast<int>(s.Nx);
    const int Ny = static_cast<int>(s.Ny);
    for (int i = 0; i <= Nx; ++i) {
        for (int j = 0; j <= Ny; ++j) {
            s.X(i, j) = s.dx * i;
            s.Y(i, j) = s.dy * j;
        }
    }

    colors(s);
    Init_Paint(s, controls_.picture(PictureId::Picture_Paint));
    Init_D3_Graph(s, controls_.text(TextBoxId::Text_Alfa),
                  controls_.picture(PictureId::Picture_3DGraph));

    DrawingBox& chart = controls_.picture(PictureId::Picture3);
    chart.cls();
    chart.scale(0.0f, 0.0f, static_cast<float>(in.MaxTime), 1.0f);

    auto wall = [&s](int i, int j, double t) {
        s.T(i, j) = t;
        s.Told(i, j) = t;
    };
    for (int i = 0; i <= Nx; ++i)
        wall(i, 0, s.Tw1);
    for (int i = 0; i <= Nx; ++i)
        wall(i, Ny, s.Tw3);
    for (int j = 0; j <= Ny; ++j)
        wall(Nx, j, s.Tw2);
    for (int j = 0; j <= Ny; ++j)
        wall(0, j, s.Tw4);

    for (int i = 1; i <= Nx - 1; ++i) {
        for (int j = 1; j <= Ny - 1; ++j) {
            s.T(i, j) = s.Tfield;
        }
    }
}

RunOutcome Form1Core::Command1_Click() {
    const Inputs in = read_inputs();
    if (const std::string msg = refusal(in); !msg.empty()) {
        controls_.message(msg);
        return RunOutcome::Refused;
    }
    const NumberSeparators sep = controls_.separators();
    set_up(in);

    SimulationState& s = state_;
    DrawingBox& map = controls_.picture(PictureId::Picture_Paint);
    DrawingBox& chart = controls_.picture(PictureId::Picture3);
    const int Nx1 = static_cast<int>(s.Nx1);
    const int Ny1 = static_cast<int>(s.Ny1);
    const double MaxTime = in.MaxTime;
    double RMS = 0;
    double RMSold = 0;

    for (std::int64_t iTime = 1; static_cast<double>(iTime) <= MaxTime; ++iTime) {
        controls_.set_text(TextBoxId::Text_iTime,
                           number_text(static_cast<double>(iTime), sep.decimal));

        for (int i = 1; i <= Nx1; ++i) {
            for (int j = 1; j <= Ny1; ++j) {
                s.Told(i, j) = s.T(i, j);
            }
        }

        if (controls_.selected(OptionId::Option_Explicit)) {
            if (s.dx > 0.5)
                s.dx = 0.5;
            if (s.dy > 0.5)
                s.dy = 0.5;
            controls_.set_text(TextBoxId::Text_dx,
                               number_text(round_to_decimals(s.dx, 3), sep.decimal));
            controls_.set_text(TextBoxId::Text_dy,
                               number_text(round_to_decimals(s.dy, 3), sep.decimal));
            explicit_step(s, Nx1, Ny1);
        } else if (controls_.selected(OptionId::Option_ADI)) {
            ADI(s, Nx1, Ny1);
        } else {
            controls_.message("bir çözüm yöntemi seçiniz");
            controls_.end_program();
            return RunOutcome::NoMethod;
        }

        Paint_TempField(s, map);
        mark_view3d_changed();

        RMSold = RMS;
        RMS = step_residual(s, Nx1, Ny1);

        if (!std::isfinite(RMS)) {
            controls_.message("The calculation diverged at step " +
                              number_text(static_cast<double>(iTime), sep.decimal) +
                              ": the temperatures grew beyond the range of numbers. " +
                              kResultsFile + " was not written.");
            return RunOutcome::Diverged;
        }

        chart.line(static_cast<float>(iTime - 1), static_cast<float>(RMSold),
                   static_cast<float>(iTime), static_cast<float>(RMS), s.Black);
        controls_.set_text(TextBoxId::Text_RMS,
                           number_text(round_to_decimals(RMS, 8), sep.decimal));

        const StepVerdict verdict = controls_.step_done(iTime);
        if (verdict == StepVerdict::StopAndSave) {
            break;
        }
        if (verdict == StepVerdict::Abandon) {
            return RunOutcome::Abandoned;
        }
    }

    if (const auto error = save_file_atomically(kResultsFile, results_text(sep))) {
        controls_.message(*error);
        return RunOutcome::NotSaved;
    }
    return RunOutcome::Completed;
}

std::string Form1Core::results_text(const NumberSeparators& sep) const {
    const int Nx = static_cast<int>(state_.Nx);
    const int Ny = static_cast<int>(state_.Ny);
    std::string out;
    out.reserve(static_cast<std::size_t>((Nx + 1) * (Ny + 1)) * 8 +
                static_cast<std::size_t>(Ny + 1) * 2);
    for (int j = 0; j <= Ny; ++j) {
        for (int i = 0; i <= Nx; ++i) {
            out += "  ";
            out += format_grouped_whole(state_.T(i, j), sep.file_group);
        }
        out += "\r\n";
    }
    return out;
}

void Form1Core::mark_view3d_changed() {
    view3d_stale_ = true;
    if (!controls_.defers_view3d()) {
        refresh_view3d();
    }
}

void Form1Core::refresh_view3d() {
    if (view3d_stale_) {
        view3d_stale_ = false;
        D3_Graph(state_, controls_.picture(PictureId::Picture_3DGraph));
    }
}

void Form1Core::HScroll_Alfa_Change() {
    controls_.set_text(TextBoxId::Text_Alfa, std::to_string(controls_.scroll_value()));
    Init_D3_Graph(state_, controls_.text(TextBoxId::Text_Alfa),
                  controls_.picture(PictureId::Picture_3DGraph));
    view3d_stale_ = true;
    refresh_view3d();
}

}  // namespace heatplate
