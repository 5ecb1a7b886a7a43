#include "web/page_controls.h"

#include <cmath>
#include <utility>

#include "run/control_table.h"
#include "view/box_geometry.h"

namespace heatplate {

PageControls::PageControls() : option_(start_option()) {
    for (std::size_t k = 0; k < kTextBoxCount; ++k) {
        texts_[k] = start_text(static_cast<TextBoxId>(k));
    }
    set_pixel_ratio(1);
}

std::optional<PageControls::Pictures> PageControls::set_pixel_ratio(double ratio) {
    if (!(ratio > 0 && ratio <= 8)) {
        ratio = 1;
    }
    // As the window sizes its pictures: the client area in device pixels.
    auto device = [ratio](int pixels) { return static_cast<int>(std::lround(pixels * ratio)); };
    const ImageDrawingBox* map = pictures_.shown[0].get();
    const BoxGeometry& g0 = box_geometry(PictureId::Picture_Paint);
    if (map != nullptr && map->image().width == device(g0.width) &&
        map->image().height == device(g0.height)) {
        return std::nullopt;
    }
    Pictures fresh;
    for (std::size_t k = 0; k < kPictureCount; ++k) {
        const BoxGeometry& g = box_geometry(static_cast<PictureId>(k));
        const int width = device(g.width);
        const int height = device(g.height);
        fresh.shown[k] =
            std::make_unique<ImageDrawingBox>(width, height, g.background, g.foreground);
        if (width != g.width || height != g.height) {
            fresh.saved[k] =
                std::make_unique<ImageDrawingBox>(g.width, g.height, g.background, g.foreground);
            fresh.tees[k] = std::make_unique<TeeDrawingBox>(*fresh.shown[k], *fresh.saved[k]);
        }
    }
    return std::exchange(pictures_, std::move(fresh));
}

FrameRecorder::Boxes PageControls::saved_size() const {
    FrameRecorder::Boxes boxes{};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        boxes[k] = pictures_.saved[k] ? pictures_.saved[k].get() : pictures_.shown[k].get();
    }
    return boxes;
}

DrawingBox& PageControls::picture(PictureId box) {
    if (pictures_.tees[slot(box)]) {
        return *pictures_.tees[slot(box)];
    }
    return *pictures_.shown[slot(box)];
}

void PageControls::set_text(TextBoxId box, const std::string& text) {
    texts_[index(box)] = text;
    changed_.set(index(box));
}

std::vector<TextBoxId> PageControls::take_changed_texts() {
    std::vector<TextBoxId> out;
    for (std::size_t k = 0; k < kTextBoxCount; ++k) {
        if (changed_.test(k)) {
            out.push_back(static_cast<TextBoxId>(k));
        }
    }
    changed_.reset();
    return out;
}

std::vector<std::string> PageControls::take_messages() {
    return std::exchange(messages_, {});
}

std::optional<std::string> PageControls::take_results() {
    return std::exchange(results_, std::nullopt);
}

std::optional<std::string> PageControls::save_results(const std::string& bytes) {
    // Offered as a download; keeping it cannot fail.
    results_ = bytes;
    return std::nullopt;
}

StepVerdict PageControls::step_done(std::int64_t iTime) {
    if (on_step_) {
        on_step_(iTime);
    }
    return escape_ ? StepVerdict::StopAndSave : StepVerdict::Continue;
}

}  // namespace heatplate
