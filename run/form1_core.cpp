#include "run/form1_core.h"

#include <cmath>
#include <cstdint>

#include "model/grid.h"
#include "numbers/number_parse.h"
#include "solvers/residual.h"
#include "view/palette.h"
#include "view/view3d.h"

namespace heatplate {
namespace {

std::string extent_refusal(const char* label, double n) {
    if (is_run_extent(n)) {
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
    set_up_pictures(in.MaxTime);
    set_up_field();
}

void Form1Core::set_up_pictures(double MaxTime) {
    SimulationState& s = state_;
    colors(s);
    map_.Init_Paint(s, controls_.picture(PictureId::Picture_Paint));
    Init_D3_Graph(s, controls_.text(TextBoxId::Text_Alfa),
                  controls_.picture(PictureId::Picture_3DGraph));

    // The step number across, the residual downwards from 0 at the top.
    DrawingBox& chart = controls_.picture(PictureId::Picture3);
    chart.cls();
    chart.scale(0.0f, 0.0f, static_cast<float>(MaxTime), 1.0f);
}

void Form1Core::set_up_field() {
    SimulationState& s = state_;
    const int Nx = static_cast<int>(s.Nx);
    const int Ny = static_cast<int>(s.Ny);
    auto wall = [&s](int i, int j, double t) {
        s.T(i, j) = t;
        s.Told(i, j) = t;
    };
    // In this order, so that the left and right walls hold the corners.
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

const MethodTraits* Form1Core::chosen_method() const {
    for (const MethodTraits& m : methods()) {
        if (controls_.selected(option_of(m.method))) {
            return &m;
        }
    }
    return nullptr;
}

void Form1Core::cap_and_show_coefficients(const NumberSeparators& sep) {
    SimulationState& s = state_;
    if (s.dx > 0.5)
        s.dx = 0.5;
    if (s.dy > 0.5)
        s.dy = 0.5;
    controls_.set_text(TextBoxId::Text_dx, number_text(round_to_decimals(s.dx, 3), sep.decimal));
    controls_.set_text(TextBoxId::Text_dy, number_text(round_to_decimals(s.dy, 3), sep.decimal));
}

Form1Core::StepEnd Form1Core::time_step(std::int64_t iTime, const NumberSeparators& sep,
                                        Residuals& r) {
    SimulationState& s = state_;
    const int Nx1 = static_cast<int>(s.Nx1);
    const int Ny1 = static_cast<int>(s.Ny1);
    controls_.set_text(TextBoxId::Text_iTime, number_text(static_cast<double>(iTime), sep.decimal));

    for (int i = 1; i <= Nx1; ++i) {
        for (int j = 1; j <= Ny1; ++j) {
            s.Told(i, j) = s.T(i, j);
        }
    }
    const MethodTraits* method = chosen_method();
    if (method == nullptr) {
        controls_.message(kNoMethodText);
        controls_.end_program();
        return StepEnd::NoMethod;
    }
    if (method->caps_coefficients) {
        cap_and_show_coefficients(sep);
    }
    method->step(s, Nx1, Ny1);

    const bool pictures = controls_.shows_pictures();
    if (pictures) {
        map_.Paint_TempField(s, controls_.picture(PictureId::Picture_Paint));
        mark_view3d_changed();
    }

    r.RMSold = r.RMS;
    r.RMS = step_residual(s, Nx1, Ny1);
    if (!std::isfinite(r.RMS)) {
        // t already names this step; the residual box must not go on showing
        // the step before it (or the previous run's last step).
        controls_.set_text(TextBoxId::Text_RMS, kOverflowText);
        controls_.message("The calculation diverged at step " +
                          number_text(static_cast<double>(iTime), sep.decimal) +
                          ": the temperatures grew beyond the range of numbers. " + kResultsFile +
                          " was not written.");
        return StepEnd::Diverged;
    }
    if (pictures) {
        controls_.picture(PictureId::Picture3)
            .line(static_cast<float>(iTime - 1), static_cast<float>(r.RMSold),
                  static_cast<float>(iTime), static_cast<float>(r.RMS), s.Black);
    }
    controls_.set_text(TextBoxId::Text_RMS, number_text(round_to_decimals(r.RMS, 8), sep.decimal));

    switch (controls_.step_done(iTime)) {
        case StepVerdict::StopAndSave:
            return StepEnd::Last;
        case StepVerdict::Abandon:
            return StepEnd::Abandoned;
        case StepVerdict::Continue:
            break;
    }
    return StepEnd::Next;
}

std::optional<RunOutcome> Form1Core::begin_run() {
    const Inputs in = read_inputs();
    if (const std::string msg = refusal(in); !msg.empty()) {
        controls_.message(msg);
        return RunOutcome::Refused;
    }
    sep_ = controls_.separators();
    set_up(in);
    MaxTime_ = in.MaxTime;
    iTime_ = 1;
    residual_ = Residuals{};
    residuals_.clear();
    running_ = true;
    return std::nullopt;
}

std::optional<RunOutcome> Form1Core::next_step() {
    if (!running_) {
        return std::nullopt;
    }
    // The limit is the t Max read at the press: iTime = 1, 2, ... while iTime <= t Max.
    if (!(static_cast<double>(iTime_) <= MaxTime_)) {
        return finish_run();
    }
    const StepEnd end = time_step(iTime_, sep_, residual_);
    if (end == StepEnd::Next || end == StepEnd::Last) {
        residuals_.push_back(residual_.RMS);
    }
    switch (end) {
        case StepEnd::Next:
            ++iTime_;
            return std::nullopt;
        case StepEnd::Last:
            return finish_run();
        case StepEnd::NoMethod:
            running_ = false;
            return RunOutcome::NoMethod;
        case StepEnd::Diverged:
            running_ = false;
            return RunOutcome::Diverged;
        case StepEnd::Abandoned:
            break;
    }
    running_ = false;
    return RunOutcome::Abandoned;
}

RunOutcome Form1Core::finish_run() {
    running_ = false;
    if (const auto error = controls_.save_results(results_text(state_, sep_.file_group))) {
        controls_.message(*error);
        return RunOutcome::NotSaved;
    }
    return RunOutcome::Completed;
}

RunOutcome Form1Core::Command1_Click() {
    std::optional<RunOutcome> outcome = begin_run();
    while (!outcome) {
        outcome = next_step();
    }
    return *outcome;
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
