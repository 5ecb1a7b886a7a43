#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/gif_writer.h"
#include "run/form1_core.h"
#include "run/frame_recorder.h"

namespace heatplate {

// How much memory the frames of a run may take, the three pictures together.
inline constexpr std::int64_t kRecordingBound = std::int64_t{64} << 20;

// The window's recording of its runs: the pictures it presents while a run
// goes on, and the pictures the run ends on, kept in memory so that any of
// the three can be saved as an animation afterwards.
//
// The frames stay within a bound. When the next frame would pass it, every
// second frame is dropped and from then on only every second presented
// frame is taken, so the frames kept stay evenly spread over the run
// however long it goes on; the last frame is always the run's last picture.
//
// A run's frames replace the last run's once it has begun; a press of
// CALCULATE that is refused is no run and leaves the last run's frames.
class WindowRecording final : public FrameSink {
  public:
    WindowRecording(Form1Core& form, FrameRecorder::Boxes boxes) : form_(form), boxes_(boxes) {}

    // bytes: the bound for the frames of the runs to come.
    void set_bound(std::int64_t bytes) { bound_ = bytes; }
    // Off, the window records nothing and keeps the last run's frames (for
    // measuring what recording costs).
    void set_enabled(bool on) { enabled_ = on; }

    void begin_run();
    // The window has just shown the run's pictures.
    void presented();
    void end_run(RunOutcome outcome);

    // Whether a run has been recorded, its frames or why they could not be taken.
    bool has_run() const { return !last_.frames.empty() || last_.error.has_value(); }
    // Of the last run.
    std::int64_t frames() const { return static_cast<std::int64_t>(last_.frames.size()); }
    std::int64_t bytes() const { return last_.bytes; }
    // Frames kept: the 1st, the (1 + stride)th, ... presented, and the last picture.
    std::int64_t stride() const { return last_.stride; }

    // Writes the last run's frames of one picture as a looping GIF that plays
    // in about kAnimationPlayingTimeMs. Returns a message naming the file and
    // the reason when it cannot, or why the run could not be recorded (a
    // picture of more than 256 colours), writing nothing then.
    std::optional<std::string> save(PictureId box, const QString& path) const;

    std::optional<std::string> take(const PictureFrames& frames) override;

  private:
    struct Take {
        std::vector<PictureFrames> frames;
        std::int64_t bytes = 0;
        std::int64_t stride = 1;
        std::optional<std::string> error;
    };
    void thin();

    Form1Core& form_;
    FrameRecorder::Boxes boxes_;
    std::int64_t bound_ = kRecordingBound;
    bool enabled_ = true;

    Take last_;
    Take current_;
    std::unique_ptr<FrameRecorder> recorder_;  // during a run
    std::int64_t presented_ = 0;               // the run's presented pictures so far
    bool ending_ = false;                      // taking the run's last picture
    bool dropped_last_ = false;                // the latest frame fell to thinning
};

}  // namespace heatplate
