#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "run/form1_core.h"
#include "run/frame_plan.h"
#include "run/frame_recorder.h"
#include "web/gif_animation.h"

namespace heatplate {

// The page's recording of its runs, as the desktop window records them:
// for each picture the animation heatplate-batch --animate makes of the
// same run (its default frame plan, the pictures at the saved size),
// encoded as the frames are taken. A run's animations replace the last
// run's once it has ended; a refused press leaves them.
class PageRecording final : public FrameSink {
  public:
    explicit PageRecording(Form1Core& form) : form_(form) {}

    void begin_run(FrameRecorder::Boxes boxes);
    void step_done(std::int64_t iTime);
    void end_run(RunOutcome outcome);

    // Whether the last run left animations, or why it could not.
    bool has_run() const { return has_run_; }
    const std::optional<std::string>& error() const { return error_; }
    const std::string& gif(PictureId box) const { return gifs_[static_cast<std::size_t>(box)]; }

    std::optional<std::string> take(const PictureFrames& frames) override;

  private:
    const FramePlan& plan();

    Form1Core& form_;
    bool has_run_ = false;
    std::array<std::string, kPictureCount> gifs_;
    std::optional<std::string> error_;
    // During a run.
    std::unique_ptr<FrameRecorder> recorder_;
    std::array<std::unique_ptr<GifAnimation>, kPictureCount> animations_;
    std::optional<FramePlan> plan_;
};

}  // namespace heatplate
