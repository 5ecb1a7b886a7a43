#include "run/frame_recorder.h"

#include <utility>

namespace heatplate {
namespace {

const char* picture_name(PictureId id) {
    switch (id) {
        case PictureId::Picture_Paint:
            return "temperature map";
        case PictureId::Picture_3DGraph:
            return "3-D view";
        case PictureId::Picture3:
            break;
    }
    return "residual chart";
}

}  // namespace

const FramePlan& FrameRecorder::plan() {
    if (!plan_) {
        plan_ = plan_frames(steps_of(form_.MaxTime()));
    }
    return *plan_;
}

std::array<std::uint64_t, kPictureCount> FrameRecorder::versions() const {
    std::array<std::uint64_t, kPictureCount> out{};
    for (std::size_t k = 0; k < out.size(); ++k) {
        out[k] = boxes_[k]->version();
    }
    return out;
}

void FrameRecorder::capture() {
    if (error_) {
        return;
    }
    form_.refresh_view3d();
    PictureFrames frames;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        auto frame = exact_indexed8(boxes_[k]->image());
        if (!frame) {
            error_ = std::string("Could not record the animation: the ") +
                     picture_name(static_cast<PictureId>(k)) +
                     " has more than 256 colours, more than a frame can hold exactly";
            return;
        }
        frames[k] = std::move(*frame);
    }
    error_ = sink_.take(frames, plan().delay);
    if (error_) {
        return;
    }
    captured_versions_ = versions();
    ++frames_;
}

void FrameRecorder::capture_final() {
    form_.refresh_view3d();
    if (frames_ == 0 || versions() != captured_versions_) {
        capture();
    }
}

}  // namespace heatplate
