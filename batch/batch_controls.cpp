#include "batch/batch_controls.h"

#include <filesystem>
#include <utility>

#include "desktop/image_file.h"
#include "run/control_table.h"
#include "run/picture_svg.h"
#include "run/results_file.h"
#include "view/box_geometry.h"

namespace heatplate {

BatchControls::BatchControls() : method_(start_option()) {
    // What the window shows when it opens.
    for (std::size_t k = 0; k < kTextBoxCount; ++k) {
        texts_[k] = start_text(static_cast<TextBoxId>(k));
    }
}

void BatchControls::set_text(TextBoxId box, const std::string& text) {
    texts_[index(box)] = text;
    if (trace_ != nullptr && box == TextBoxId::Text_RMS) {
        std::fprintf(trace_, "%s %s\n", texts_[index(TextBoxId::Text_iTime)].c_str(), text.c_str());
    }
}

StepVerdict BatchControls::step_done(std::int64_t iTime) {
    if (stop_flag_ != nullptr && *stop_flag_ != 0) {
        return StepVerdict::Abandon;
    }
    if (progress_ != nullptr) {
        progress_->step(iTime);
    }
    if (step_observer_) {
        step_observer_(iTime);
    }
    return StepVerdict::Continue;
}

std::optional<std::string> BatchControls::save_results(const std::string& bytes) {
    results_ = std::make_unique<AtomicFile>(kResultsFile);
    return results_->write(bytes);
}

DrawingBox& BatchControls::picture(PictureId id) {
    DrawingBox* box = pictures_[static_cast<std::size_t>(id)];
    return box != nullptr ? *box : null_box_;
}

void BatchControls::message(const std::string& text) {
    if (progress_ != nullptr) {
        progress_->clear();
    }
    std::fprintf(stderr, "heatplate-batch: %s\n", text.c_str());
}

namespace {

ImageDrawingBox make_box(PictureId id) {
    const BoxGeometry& g = box_geometry(id);
    return ImageDrawingBox(g.width, g.height, g.background, g.foreground);
}

}  // namespace

BatchPictures::BatchPictures()
    : map(make_box(PictureId::Picture_Paint)),
      view3d(make_box(PictureId::Picture_3DGraph)),
      residual(make_box(PictureId::Picture3)) {}

void BatchPictures::attach(BatchControls& controls) {
    controls.set_picture(PictureId::Picture_Paint, &map);
    controls.set_picture(PictureId::Picture_3DGraph, &view3d);
    controls.set_picture(PictureId::Picture3, &residual);
    controls.set_pictures_attached(true);
}

std::optional<std::string> BatchPictures::stage(Form1Core& form, const std::string& dir, Kind kind,
                                                std::vector<std::unique_ptr<AtomicFile>>& files) {
    form.refresh_view3d();
    const std::filesystem::path folder(dir);
    const std::pair<PictureId, const ImageDrawingBox*> pictures[] = {
        {PictureId::Picture_Paint, &map},
        {PictureId::Picture_3DGraph, &view3d},
        {PictureId::Picture3, &residual}};
    for (const auto& [id, box] : pictures) {
        const auto path =
            folder / (std::string(picture_file_stem(id)) + (kind == Kind::Png ? ".png" : ".svg"));
        files.push_back(std::make_unique<AtomicFile>(path.string()));
        AtomicFile& file = *files.back();
        if (auto error = kind == Kind::Png ? write_png(box->image(), file)
                                           : file.write(picture_svg(id, form, box->image()))) {
            return error;
        }
    }
    return std::nullopt;
}

}  // namespace heatplate
