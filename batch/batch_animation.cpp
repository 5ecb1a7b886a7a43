#include "batch/batch_animation.h"

#include <filesystem>

namespace heatplate {

BatchAnimation::BatchAnimation(const std::string& dir, FramePlan plan) : plan_(plan) {
    for (std::size_t k = 0; k < writers_.size(); ++k) {
        const std::string name = std::string(picture_file_stem(static_cast<PictureId>(k))) + ".gif";
        writers_[k] = std::make_unique<GifWriter>((std::filesystem::path(dir) / name).string());
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
        form, FrameRecorder::Boxes{&pictures.map, &pictures.view3d, &pictures.residual}, *this,
        plan_);
    controls.set_step_observer([this](std::int64_t iTime) { recorder_->step_done(iTime); });
}

std::optional<std::string> BatchAnimation::take(const PictureFrames& frames, int delay) {
    for (std::size_t k = 0; k < writers_.size(); ++k) {
        if (auto error = writers_[k]->add(frames[k], delay)) {
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
