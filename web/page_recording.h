#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "desktop/gif_writer.h"
#include "run/form1_core.h"
#include "run/frame_plan.h"
#include "run/frame_recorder.h"

namespace heatplate {

// The page's recording of its runs, as the desktop window records them:
// the frames heatplate-batch --animate takes of the same run (its default
// frame plan, the pictures at the saved size). The run's worker takes them
// and hands them, as bytes (see frame_bytes.h), to a worker beside it that
// encodes them (AnimationEncoder), so that the encoding costs the run no
// time.
class PageRecording final : public FrameSink {
  public:
    explicit PageRecording(Form1Core& form) : form_(form) {}

    void begin_run(FrameRecorder::Boxes boxes);
    void step_done(std::int64_t iTime);
    // A run that stopped between two frames, or made no step, ends on the
    // pictures it left. A refused press is no run and takes no frame.
    void end_run(RunOutcome outcome);

    // The frames taken since the last call.
    std::string take_frames() { return std::exchange(frames_, {}); }
    // Why the frames of the last run could not be taken, if they could not.
    const std::optional<std::string>& error() const { return error_; }

    std::optional<std::string> take(const PictureFrames& frames, int delay) override;

  private:
    Form1Core& form_;
    std::string frames_;
    std::optional<std::string> error_;
    std::unique_ptr<FrameRecorder> recorder_;
};

// The other end: the three animations of a run, encoded as the frames come.
class AnimationEncoder {
  public:
    void begin();
    // The bytes of take_frames(). Returns the first failure, after which
    // nothing more is taken.
    std::optional<std::string> add(std::string_view frames);
    std::optional<std::string> end();
    const std::optional<std::string>& error() const { return error_; }
    // An animation, once ended; empty after a failure.
    const std::string& gif(PictureId box) const;

  private:
    std::array<std::unique_ptr<GifWriter>, kPictureCount> animations_;
    std::optional<std::string> error_;
};

}  // namespace heatplate
