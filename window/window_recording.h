#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "run/form1_core.h"
#include "run/frame_plan.h"
#include "run/frame_recorder.h"

namespace heatplate {

// The window's recording of its runs: for each picture, the animation that
// heatplate-batch --animate makes of the same run, frame for frame (its
// default frame plan: at most 300 frames, evenly spaced, and the picture
// the run ended on; the whole playing in about ten seconds), whatever the
// screen showed meanwhile. Frames are encoded as they are taken, so a long
// run takes no more memory than a short one.
//
// A run's animations replace the last run's once it has ended; a press of
// CALCULATE that is refused is no run and leaves the last run's.
class WindowRecording final : public FrameSink {
  public:
    // boxes: the pictures at the size every saved file has.
    WindowRecording(Form1Core& form, FrameRecorder::Boxes boxes);

    // Off, the window records nothing and keeps the last run's animations
    // (for measuring what recording costs).
    void set_enabled(bool on) { enabled_ = on; }

    void begin_run();
    // After every step of the run.
    void step_done(std::int64_t iTime);
    void end_run(RunOutcome outcome);

    // Whether a run has been recorded, its animations or why they could not be.
    bool has_run() const { return last_.frames > 0 || last_.error.has_value(); }
    // The frames of the last run's animations.
    std::int64_t frames() const { return last_.frames; }

    // Writes the last run's animation of one picture, a looping GIF, to the
    // path, whole or not at all. Returns a message naming the file and the
    // reason when it cannot, or why the run could not be recorded.
    std::optional<std::string> save(PictureId box, const QString& path) const;

    std::optional<std::string> take(const PictureFrames& frames, int delay) override;

    ~WindowRecording() override;

  private:
    struct Take {
        std::array<std::string, kPictureCount> gifs;
        std::int64_t frames = 0;
        std::optional<std::string> error;
    };
    class Encoder;

    Form1Core& form_;
    FrameRecorder::Boxes boxes_;
    bool enabled_ = true;

    Take last_;
    // During a run.
    std::unique_ptr<FrameRecorder> recorder_;
    std::unique_ptr<Encoder> encoder_;
};

}  // namespace heatplate
