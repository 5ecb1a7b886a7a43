#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run/form1_core.h"
#include "web/page_controls.h"
#include "web/page_recording.h"

namespace heatplate {

// The page's run, a slice at a time: the worker that hosts the engine
// makes steps for a few milliseconds, then goes back to its event loop to
// hear the page (a frame wanted, Escape) before the next slice.
class PageSession {
  public:
    // What a slice ended on, besides a run that ended (a RunOutcome).
    static constexpr int kBusy = -1;   // the time was up; the run goes on
    static constexpr int kPaced = -2;  // a step to show as a frame of its own

    PageSession() : core_(controls_), recording_(core_) {
        controls_.on_step([this](std::int64_t iTime) { step_done(iTime); });
    }

    PageControls& controls() { return controls_; }
    Form1Core& core() { return core_; }
    const PageRecording& recording() const { return recording_; }
    std::string take_frames() { return recording_.take_frames(); }
    bool running() const { return core_.running(); }

    // CALCULATE, with the pictures at the page's device pixel ratio: kBusy
    // while the run goes on, or the outcome of a press that was refused.
    int begin(double pixel_ratio);
    // Steps for about budget_ms milliseconds, up to a step that is to be
    // shown as a frame of its own, or to the end of the run (its outcome).
    int run_for(double budget_ms);
    // The scroll bar's change, after a run when it came during one.
    void scroll_change() { core_.HScroll_Alfa_Change(); }

    // The changed output texts, the messages and whether the program ended,
    // as JSON: {"texts":{"Text_iTime":"12",...},"messages":[...],"ended":false}.
    std::string take_outputs();
    // The RGBA bytes of a shown picture, brought up to date, row by row from
    // the top.
    const std::vector<std::uint8_t>& rgba(PictureId box);

  private:
    void step_done(std::int64_t iTime);
    int finish(RunOutcome outcome);

    PageControls controls_;
    Form1Core core_;
    PageRecording recording_;
    std::int64_t steps_ = 0;
    bool paced_ = false;
    std::array<std::vector<std::uint8_t>, kPictureCount> rgba_;
};

}  // namespace heatplate
