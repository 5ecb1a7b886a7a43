#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/simulation_state.h"
#include "run/controls.h"
#include "run/results_file.h"
#include "solvers/method.h"
#include "view/temperature_map.h"

namespace heatplate {

enum class RunOutcome {
    Completed,  // every step done (or ended early by the user) and results.txt written
    Refused,    // an input outside what a run is defined for; nothing changed
    Diverged,   // a step overflowed; results.txt left as it was
    NotSaved,   // results.txt could not be written
    NoMethod,   // neither method selected; the program ends
    Abandoned,  // ended by the host without writing results.txt
};

// The window object without its widgets: the state and the two handlers.
class Form1Core {
  public:
    explicit Form1Core(Controls& controls) : controls_(controls) {}

    // The CALCULATE run. Messages reach the user through Controls::message;
    // the outcome tells the host how the run ended.
    RunOutcome Command1_Click();

    // The same run a step at a time, for a host that must go back to its
    // own loop between steps (a web page): begin_run() reads the inputs and
    // sets the run up, or refuses it (outcome Refused); then each
    // next_step() makes one step, or, once the steps are done, writes the
    // results, and gives the outcome when the run has ended.
    std::optional<RunOutcome> begin_run();
    std::optional<RunOutcome> next_step();
    bool running() const { return running_; }

    // The residual shown for each step of the last run, in order (step 1
    // first), and the run's t Max: the residual chart's data.
    const std::vector<double>& residuals() const { return residuals_; }
    double MaxTime() const { return MaxTime_; }

    // The angle scroll bar's change handler.
    void HScroll_Alfa_Change();

    // Draws the 3-D view if a step has changed the field since it was last
    // drawn; hosts that defer the view call it before showing or saving it.
    void refresh_view3d();

    SimulationState& state() { return state_; }
    const SimulationState& state() const { return state_; }

    // What the residual box shows for a step whose residual overflowed.
    static constexpr const char* kOverflowText = "overflow";
    // The message of a press with neither method selected ("choose a
    // solution method"), after which the program ends.
    static constexpr const char* kNoMethodText = "bir çözüm yöntemi seçiniz";

  private:
    struct Inputs {
        double Nx, Ny, Tw1, Tw2, Tw3, Tw4, Tfield, MaxTime;
    };
    // How a time step leaves the run.
    enum class StepEnd { Next, Last, NoMethod, Diverged, Abandoned };
    // The residuals of the latest step and of the one before, for the chart;
    // both 0 at every press.
    struct Residuals {
        double RMS = 0;
        double RMSold = 0;
    };

    Inputs read_inputs() const;
    // The message for an input a run cannot use, or empty when all is well.
    static std::string refusal(const Inputs& in);
    void set_up(const Inputs& in);
    void set_up_pictures(double MaxTime);
    void set_up_field();
    const MethodTraits* chosen_method() const;
    void cap_and_show_coefficients(const NumberSeparators& sep);
    StepEnd time_step(std::int64_t iTime, const NumberSeparators& sep, Residuals& r);
    RunOutcome finish_run();
    void mark_view3d_changed();

    Controls& controls_;
    SimulationState state_;
    TemperatureMap map_;  // the map of the current run
    bool view3d_stale_ = false;

    // The run under way.
    bool running_ = false;
    NumberSeparators sep_;
    double MaxTime_ = 0;
    std::int64_t iTime_ = 0;
    Residuals residual_;
    std::vector<double> residuals_;
};

}  // namespace heatplate
