#pragma once

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_progress.h"
#include "desktop/atomic_file.h"
#include "raster/image_drawing_box.h"
#include "run/controls.h"
#include "run/form1_core.h"

namespace heatplate {

// The headless runner's stand-in for the window: input texts set up front,
// output texts remembered, messages to standard error.
class BatchControls final : public Controls {
  public:
    BatchControls();

    void set_input(TextBoxId box, std::string text) { texts_[index(box)] = std::move(text); }
    void choose_method(OptionId option) { method_ = option; }
    void set_trace(std::FILE* out) { trace_ = out; }
    void set_picture(PictureId id, DrawingBox* box) {
        pictures_[static_cast<std::size_t>(id)] = box;
    }
    void set_separators(NumberSeparators sep) { separators_ = std::move(sep); }
    void set_pictures_attached(bool attached) { pictures_attached_ = attached; }
    // Called after every completed step, with its number.
    void set_step_observer(std::function<void(std::int64_t)> observer) {
        step_observer_ = std::move(observer);
    }
    // The progress line to keep up to date step by step and to clear before
    // a message.
    void set_progress(BatchProgress* progress) { progress_ = progress; }
    // A flag a signal handler sets: the run then ends after the current
    // step without writing anything.
    void set_stop_flag(const volatile std::sig_atomic_t* flag) { stop_flag_ = flag; }

    std::string text(TextBoxId box) const override { return texts_[index(box)]; }
    void set_text(TextBoxId box, const std::string& text) override;
    bool selected(OptionId option) const override { return option == method_; }
    int scroll_value() const override { return 30; }
    DrawingBox& picture(PictureId id) override;
    void message(const std::string& text) override;
    void end_program() override {}
    NumberSeparators separators() const override { return separators_; }
    // Without pictures attached, a run draws nothing; with them, the 3-D
    // view waits until it is saved.
    bool shows_pictures() const override { return pictures_attached_; }
    bool defers_view3d() const override { return pictures_attached_; }
    StepVerdict step_done(std::int64_t iTime) override;
    // Keeps results.txt written beside its place, to be put there with the
    // run's other files.
    std::optional<std::string> save_results(const std::string& bytes) override;
    // The results file of the run, or nullptr when it kept none.
    AtomicFile* results_file() { return results_.get(); }

  private:
    static std::size_t index(TextBoxId box) { return static_cast<std::size_t>(box); }

    std::array<std::string, kTextBoxCount> texts_;
    std::array<DrawingBox*, kPictureCount> pictures_{};
    NullDrawingBox null_box_;
    OptionId method_;
    NumberSeparators separators_;
    std::FILE* trace_ = nullptr;
    std::function<void(std::int64_t)> step_observer_;
    BatchProgress* progress_ = nullptr;
    const volatile std::sig_atomic_t* stop_flag_ = nullptr;
    bool pictures_attached_ = false;
    std::unique_ptr<AtomicFile> results_;
};

// The three drawing boxes at the window's sizes and colours, for a run whose
// pictures are saved rather than shown.
class BatchPictures {
  public:
    BatchPictures();

    // Plugs the boxes into the controls. The 3-D view, which every step
    // clears and redraws, is then drawn only once, when it is saved.
    void attach(BatchControls& controls);

    enum class Kind { Png, Svg };
    // Brings the 3-D view up to date and writes dir/map.png, dir/view3d.png
    // and dir/residual.png (or the three .svg) beside their places, adding
    // them to files. Returns a message naming the file that could not be
    // written, if any.
    std::optional<std::string> stage(Form1Core& form, const std::string& dir, Kind kind,
                                     std::vector<std::unique_ptr<AtomicFile>>& files);

    ImageDrawingBox map;
    ImageDrawingBox view3d;
    ImageDrawingBox residual;
};

}  // namespace heatplate
