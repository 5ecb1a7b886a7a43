#include "window/window_recording.h"

#include <utility>

namespace heatplate {
namespace {

std::int64_t bytes_of(const PictureFrames& frames) {
    std::int64_t bytes = 0;
    for (const IndexedImage& frame : frames) {
        bytes += static_cast<std::int64_t>(frame.bytes());
    }
    return bytes;
}

}  // namespace

void WindowRecording::begin_run() {
    if (!enabled_) {
        return;
    }
    current_ = Take{};
    presented_ = 0;
    dropped_last_ = false;
    recorder_ = std::make_unique<FrameRecorder>(form_, boxes_, *this);
}

void WindowRecording::presented() {
    if (!recorder_) {
        return;
    }
    if (presented_ == 0) {
        // A run that shows a step has begun for certain: the last run's
        // frames are of no more use, and would only double the memory.
        last_ = Take{};
    }
    const std::int64_t index = presented_++;
    // The frames thinning would drop are not even taken: taking them is
    // what recording costs a run.
    if (index % current_.stride == 0) {
        recorder_->capture();
    }
}

void WindowRecording::end_run(RunOutcome outcome) {
    if (!recorder_) {
        return;
    }
    const std::unique_ptr<FrameRecorder> recorder = std::move(recorder_);
    if (outcome == RunOutcome::Refused) {
        return;  // no run: nothing was drawn, and the last run's frames stay
    }
    ending_ = true;
    // A picture that thinning dropped just before the run ended is still
    // the run's last one, though the recorder took it.
    if (dropped_last_) {
        recorder->capture();
    } else {
        recorder->capture_final();
    }
    ending_ = false;
    current_.error = recorder->error();
    last_ = std::move(current_);
    current_ = Take{};
}

std::optional<std::string> WindowRecording::take(const PictureFrames& frames) {
    const std::int64_t size = bytes_of(frames);
    while (current_.bytes + size > bound_ && current_.frames.size() > 1) {
        thin();
    }
    if (ending_ && current_.bytes + size > bound_) {
        // Not even two frames fit: the run's last picture is the one to keep.
        current_.frames.clear();
        current_.bytes = 0;
    }
    dropped_last_ =
        !ending_ && ((presented_ - 1) % current_.stride != 0 || current_.bytes + size > bound_);
    if (!dropped_last_) {
        current_.frames.push_back(frames);
        current_.bytes += size;
    }
    return std::nullopt;
}

void WindowRecording::thin() {
    std::vector<PictureFrames>& frames = current_.frames;
    std::size_t kept = 0;
    current_.bytes = 0;
    for (std::size_t k = 0; k < frames.size(); k += 2) {
        current_.bytes += bytes_of(frames[k]);
        if (kept != k) {
            frames[kept] = std::move(frames[k]);
        }
        ++kept;
    }
    frames.resize(kept);
    current_.stride *= 2;
}

std::optional<std::string> WindowRecording::save(PictureId box, const QString& path) const {
    if (last_.error) {
        return last_.error;
    }
    const int delay = delay_for_playing_time(frames(), kAnimationPlayingTimeMs);
    std::vector<GifFrame> animation;
    animation.reserve(last_.frames.size());
    for (const PictureFrames& frame : last_.frames) {
        animation.push_back({frame[static_cast<std::size_t>(box)], delay});
    }
    return save_gif(path.toStdString(), animation);
}

}  // namespace heatplate
