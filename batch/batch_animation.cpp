#include "batch/batch_animation.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>

namespace heatplate {

std::int64_t FramePlan::frames() const {
    if (steps <= 0) {
        return 1;
    }
    return steps / every + (steps % every != 0 ? 1 : 0);
}

std::int64_t steps_of(double MaxTime) {
    if (!(MaxTime >= 1)) {
        return 0;
    }
    // 2^63 and above (or infinity): more steps than any run will live to make.
    if (MaxTime >= 9223372036854775807.0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(std::floor(MaxTime));
}

FramePlan plan_frames(std::int64_t steps, std::optional<std::int64_t> every,
                      std::optional<int> delay_ms) {
    FramePlan plan;
    plan.steps = std::max<std::int64_t>(steps, 0);
    // The smallest step count that keeps the frames to kDefaultMostFrames.
    const std::int64_t fitting =
        plan.steps / kDefaultMostFrames + (plan.steps % kDefaultMostFrames != 0 ? 1 : 0);
    plan.every = std::max<std::int64_t>(every.value_or(fitting), 1);
    plan.delay = delay_ms ? (*delay_ms + 5) / 10
                          : delay_for_playing_time(plan.frames(), kAnimationPlayingTimeMs);
    return plan;
}

BatchAnimation::BatchAnimation(const std::string& dir, FramePlan plan) : plan_(plan) {
    const QDir folder(QString::fromStdString(dir));
    for (std::size_t k = 0; k < writers_.size(); ++k) {
        const auto name =
            QString::fromLatin1(picture_file_stem(static_cast<PictureId>(k))) + ".gif";
        writers_[k] = std::make_unique<GifWriter>(folder.filePath(name));
    }
}

std::optional<std::string> BatchAnimation::open() {
    for (const auto& writer : writers_) {
        if (auto error = writer->open()) {
            return error;
        }
    }
    return std::nullopt;
}

void BatchAnimation::record(BatchControls& controls, Form1Core& form,
                            const BatchPictures& pictures) {
    recorder_ = std::make_unique<FrameRecorder>(
        form, FrameRecorder::Boxes{&pictures.map, &pictures.view3d, &pictures.residual}, *this);
    controls.set_step_observer([this](std::int64_t iTime) {
        if (plan_.due(iTime)) {
            recorder_->capture();
        }
    });
}

std::optional<std::string> BatchAnimation::take(const PictureFrames& frames) {
    for (std::size_t k = 0; k < writers_.size(); ++k) {
        if (auto error = writers_[k]->add(frames[k], plan_.delay)) {
            return error;
        }
    }
    return std::nullopt;
}

std::optional<std::string> BatchAnimation::end(std::vector<AtomicFile*>& files) {
    if (recorder_) {
        recorder_->capture_final();
    }
    std::optional<std::string> error = recorder_ ? recorder_->error() : std::nullopt;
    for (const auto& writer : writers_) {
        if (!error) {
            error = writer->end();
        }
    }
    for (const auto& writer : writers_) {
        if (error) {
            writer->cancel();
        } else {
            files.push_back(&writer->file());
        }
    }
    return error;
}

std::optional<std::string> BatchAnimation::finish() {
    std::vector<AtomicFile*> files;
    if (auto error = end(files)) {
        return error;
    }
    return commit_together(files);
}

}  // namespace heatplate
