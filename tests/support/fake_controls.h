#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "run/control_table.h"
#include "run/controls.h"
#include "run/results_file.h"

namespace heatplate::testing {

// A window for tests: start texts as the real one has them, every output and
// message remembered, pictures that draw nowhere unless a test supplies one.
class FakeControls : public Controls {
  public:
    FakeControls() {
        for (std::size_t k = 0; k < kTextBoxCount; ++k) {
            texts[k] = start_text(static_cast<TextBoxId>(k));
        }
    }

    static constexpr std::size_t idx(TextBoxId box) { return static_cast<std::size_t>(box); }
    std::string& operator[](TextBoxId box) { return texts[idx(box)]; }

    std::string text(TextBoxId box) const override { return texts[idx(box)]; }
    void set_text(TextBoxId box, const std::string& t) override {
        texts[idx(box)] = t;
        if (box == TextBoxId::Text_RMS) {
            rms_shown.push_back(t);
        }
    }
    bool selected(OptionId option) const override {
        return option == OptionId::Option_Explicit ? explicit_selected : adi_selected;
    }
    int scroll_value() const override { return scroll; }
    DrawingBox& picture(PictureId id) override {
        DrawingBox* box = boxes[static_cast<std::size_t>(id)];
        return box != nullptr ? *box : null_box;
    }
    void message(const std::string& t) override { messages.push_back(t); }
    void end_program() override { ++end_program_calls; }
    NumberSeparators separators() const override { return sep; }
    StepVerdict step_done(std::int64_t iTime) override {
        return on_step ? on_step(iTime) : StepVerdict::Continue;
    }
    // Written plainly, in place: the careful writer is the desktop's, tested there.
    std::optional<std::string> save_results(const std::string& bytes) override {
        std::ofstream out(kResultsFile, std::ios::binary);
        out << bytes;
        out.close();
        if (!out) {
            return std::string("Could not write ") + kResultsFile;
        }
        return std::nullopt;
    }

    std::array<std::string, kTextBoxCount> texts;
    bool explicit_selected = true;
    bool adi_selected = false;
    int scroll = 30;
    std::array<DrawingBox*, kPictureCount> boxes{};
    NullDrawingBox null_box;
    NumberSeparators sep;
    std::vector<std::string> messages;
    std::vector<std::string> rms_shown;
    int end_program_calls = 0;
    std::function<StepVerdict(std::int64_t)> on_step;
};

}  // namespace heatplate::testing
