#include "web/page_recording.h"

#include <utility>

#include "web/frame_bytes.h"

namespace heatplate {

void PageRecording::begin_run(FrameRecorder::Boxes boxes) {
    frames_.clear();
    error_.reset();
    recorder_ = std::make_unique<FrameRecorder>(form_, boxes, *this);
}

void PageRecording::step_done(std::int64_t iTime) {
    if (recorder_) {
        recorder_->step_done(iTime);
    }
}

std::optional<std::string> PageRecording::take(const PictureFrames& frames, int delay) {
    append_frames(frames_, frames, delay);
    return std::nullopt;
}

void PageRecording::end_run(RunOutcome outcome) {
    const std::unique_ptr<FrameRecorder> recorder = std::move(recorder_);
    if (!recorder || outcome == RunOutcome::Refused) {
        return;
    }
    recorder->capture_final();
    error_ = recorder->error();
}

void AnimationEncoder::begin() {
    for (auto& animation : animations_) {
        animation = std::make_unique<GifWriter>();
    }
    error_.reset();
}

std::optional<std::string> AnimationEncoder::add(std::string_view frames) {
    if (error_ || !animations_[0]) {
        return error_;
    }
    const std::optional<std::vector<TimedFrames>> read = read_frames(frames);
    if (!read) {
        error_ = "Could not record the animation: frames went missing";
        return error_;
    }
    for (const TimedFrames& timed : *read) {
        for (std::size_t k = 0; k < animations_.size() && !error_; ++k) {
            error_ = animations_[k]->add(timed.frames[k], timed.delay);
        }
    }
    return error_;
}

std::optional<std::string> AnimationEncoder::end() {
    for (std::size_t k = 0; k < animations_.size() && !error_; ++k) {
        error_ = animations_[k] ? animations_[k]->end() : "Could not record the animation";
    }
    return error_;
}

const std::string& AnimationEncoder::gif(PictureId box) const {
    static const std::string kNone;
    const auto& animation = animations_[static_cast<std::size_t>(box)];
    return animation && !error_ ? animation->bytes() : kNone;
}

}  // namespace heatplate
