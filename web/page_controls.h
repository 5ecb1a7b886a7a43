#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "raster/image_drawing_box.h"
#include "raster/tee_drawing_box.h"
#include "run/controls.h"
#include "run/frame_recorder.h"

namespace heatplate {

// The page as the run sees it. The page hands over what its boxes hold when
// CALCULATE is pressed; the run's outputs, messages and results wait here
// until the page fetches them, which it does once per display frame.
class PageControls final : public Controls {
  public:
    PageControls();

    void set_input(TextBoxId box, std::string text) { texts_[index(box)] = std::move(text); }
    // The option selected on the page, or none.
    void choose(std::optional<OptionId> option) { option_ = option; }
    void set_scroll(int value) { scroll_ = value; }

    // The drawing boxes of the three pictures: those shown, at the page's
    // device pixel ratio so that they are sharp on any screen, and, where
    // those are larger, the pictures at the saved size, which the animations
    // keep, with the boxes that draw into both.
    struct Pictures {
        std::array<std::unique_ptr<ImageDrawingBox>, kPictureCount> shown;
        std::array<std::unique_ptr<ImageDrawingBox>, kPictureCount> saved;
        std::array<std::unique_ptr<TeeDrawingBox>, kPictureCount> tees;
    };
    // New boxes for another ratio, blank; returns the boxes they replace
    // (none when the size stays), which restore() puts back.
    std::optional<Pictures> set_pixel_ratio(double ratio);
    void restore(Pictures&& pictures) { pictures_ = std::move(pictures); }
    const ImageDrawingBox& shown(PictureId box) const { return *pictures_.shown[slot(box)]; }
    FrameRecorder::Boxes saved_size() const;

    // Escape: the run ends after the current step, its results kept.
    void press_escape() { escape_ = true; }
    void clear_escape() { escape_ = false; }
    // Called after every step, before the verdict.
    void on_step(std::function<void(std::int64_t)> observer) { on_step_ = std::move(observer); }

    // The texts set since the last call, by box.
    std::vector<TextBoxId> take_changed_texts();
    std::vector<std::string> take_messages();
    // The bytes of results.txt of the last completed run not yet taken.
    std::optional<std::string> take_results();
    bool ended() const { return ended_; }

    std::string text(TextBoxId box) const override { return texts_[index(box)]; }
    void set_text(TextBoxId box, const std::string& text) override;
    bool selected(OptionId option) const override { return option_ == option; }
    int scroll_value() const override { return scroll_; }
    DrawingBox& picture(PictureId box) override;
    void message(const std::string& text) override { messages_.push_back(text); }
    void end_program() override { ended_ = true; }
    // The page writes numbers with a point and groups thousands with a
    // comma, as heatplate-batch does in the C and English locales.
    NumberSeparators separators() const override { return {".", ",", ","}; }
    std::optional<std::string> save_results(const std::string& bytes) override;
    StepVerdict step_done(std::int64_t iTime) override;
    bool defers_view3d() const override { return true; }

  private:
    static std::size_t index(TextBoxId box) { return static_cast<std::size_t>(box); }
    static std::size_t slot(PictureId box) { return static_cast<std::size_t>(box); }

    std::array<std::string, kTextBoxCount> texts_;
    std::bitset<kTextBoxCount> changed_;
    std::optional<OptionId> option_;
    int scroll_ = 30;
    Pictures pictures_;
    std::function<void(std::int64_t)> on_step_;
    bool escape_ = false;
    bool ended_ = false;
    std::vector<std::string> messages_;
    std::optional<std::string> results_;
};

}  // namespace heatplate
