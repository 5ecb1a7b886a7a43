#include "web/page_recording.h"

#include <utility>

namespace heatplate {

void PageRecording::begin_run(FrameRecorder::Boxes boxes) {
    for (auto& animation : animations_) {
        animation = std::make_unique<GifAnimation>();
    }
    plan_.reset();
    recorder_ = std::make_unique<FrameRecorder>(form_, boxes, *this);
}

const FramePlan& PageRecording::plan() {
    // The run knows its steps once it has read t Max, before its first step.
    if (!plan_) {
        plan_ = plan_frames(steps_of(form_.MaxTime()));
    }
    return *plan_;
}

void PageRecording::step_done(std::int64_t iTime) {
    if (recorder_ && plan().due(iTime)) {
        recorder_->capture();
    }
}

std::optional<std::string> PageRecording::take(const PictureFrames& frames) {
    for (std::size_t k = 0; k < animations_.size(); ++k) {
        if (auto error = animations_[k]->add(frames[k], plan().delay)) {
            return error;
        }
    }
    return std::nullopt;
}

void PageRecording::end_run(RunOutcome outcome) {
    const std::unique_ptr<FrameRecorder> recorder = std::move(recorder_);
    if (!recorder || outcome == RunOutcome::Refused) {
        return;  // no run: nothing was drawn, and the last run's animations stay
    }
    // A run that stopped between two frames, or made no step, ends on the
    // pictures it left.
    recorder->capture_final();
    std::optional<std::string> error = recorder->error();
    for (std::size_t k = 0; k < animations_.size(); ++k) {
        if (!error) {
            error = animations_[k]->end();
        }
        gifs_[k] = error ? std::string() : animations_[k]->bytes();
        animations_[k].reset();
    }
    error_ = std::move(error);
    has_run_ = true;
}

}  // namespace heatplate
