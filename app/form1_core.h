#pragma once

#include <string>

#include "app/controls.h"
#include "app/simulation_state.h"

namespace heatplate {

enum class RunOutcome {
    Completed,  // every step done (or ended early by the user) and results.txt written
    Refused,    // an input outside what a run is defined for; nothing changed
    Diverged,   // a step overflowed; results.txt left as it was
    NotSaved,   // results.txt could not be written
    NoMethod,   // neither method selected; the program ends
    Abandoned,  // ended by the host without writing results.txt
};

// The residual of a step: the root of the summed squared changes of the
// interior (summed i outer, j inner) divided by the number of interior nodes.
double step_residual(const SimulationState& s, int Nx1, int Ny1);

// The window object without its widgets: the state and the two handlers.
class Form1Core {
  public:
    explicit Form1Core(Controls& controls) : controls_(controls) {}

    // The CALCULATE run. Messages reach the user through Controls::message;
    // the outcome tells the host how the run ended.
    RunOutcome Command1_Click();

    // The angle scroll bar's change handler.
    void HScroll_Alfa_Change();

    // Draws the 3-D view if a step has changed the field since it was last
    // drawn; hosts that defer the view call it before showing or saving it.
    void refresh_view3d();

    SimulationState& state() { return state_; }
    const SimulationState& state() const { return state_; }

    static constexpr const char* kResultsFile = "results.txt";

  private:
    struct Inputs {
        double Nx, Ny, Tw1, Tw2, Tw3, Tw4, Tfield, MaxTime;
    };
    Inputs read_inputs() const;
    // The message for an input a run cannot use, or empty when all is well.
    static std::string refusal(const Inputs& in);
    void set_up(const Inputs& in);
    void mark_view3d_changed();
    std::string results_text(const NumberSeparators& sep) const;

    Controls& controls_;
    SimulationState state_;
    bool view3d_stale_ = false;
};

}  // namespace heatplate
