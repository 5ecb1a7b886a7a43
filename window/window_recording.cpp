#include "window/window_recording.h"

#include <utility>

#include "desktop/atomic_file.h"

namespace heatplate {

void WindowRecording::begin_run() {
    recorder_.reset();
    if (!enabled_) {
        return;
    }
    for (auto& writer : writers_) {
        writer = std::make_unique<GifWriter>();
    }
    plan_.reset();
    taken_ = 0;
    recorder_ = std::make_unique<FrameRecorder>(form_, boxes_, *this);
}

const FramePlan& WindowRecording::plan() {
    // The run knows its steps once it has read t Max, before its first step.
    if (!plan_) {
        plan_ = plan_frames(steps_of(form_.MaxTime()));
    }
    return *plan_;
}

void WindowRecording::step_done(std::int64_t iTime) {
    if (recorder_ && plan().due(iTime)) {
        recorder_->capture();
    }
}

std::optional<std::string> WindowRecording::take(const PictureFrames& frames) {
    const int delay = plan().delay;
    for (std::size_t k = 0; k < writers_.size(); ++k) {
        if (auto error = writers_[k]->add(frames[k], delay)) {
            return error;
        }
    }
    ++taken_;
    return std::nullopt;
}

void WindowRecording::end_run(RunOutcome outcome) {
    if (!recorder_) {
        return;
    }
    const std::unique_ptr<FrameRecorder> recorder = std::move(recorder_);
    if (outcome == RunOutcome::Refused) {
        return;  // no run: nothing was drawn, and the last run's animations stay
    }
    // A run that stopped between two frames, or made no step, ends on the
    // pictures it left.
    recorder->capture_final();
    Take take;
    take.error = recorder->error();
    for (std::size_t k = 0; k < writers_.size() && !take.error; ++k) {
        take.error = writers_[k]->end();
        take.gifs[k] = writers_[k]->bytes();
    }
    take.frames = take.error ? 0 : taken_;
    last_ = std::move(take);
    for (auto& writer : writers_) {
        writer.reset();
    }
}

std::optional<std::string> WindowRecording::save(PictureId box, const QString& path) const {
    if (last_.error) {
        return last_.error;
    }
    return save_file_atomically(path.toStdString(), last_.gifs[static_cast<std::size_t>(box)]);
}

}  // namespace heatplate
