#include "web/page_session.h"

#include <emscripten.h>

#include <cstring>

#include "run/control_table.h"
#include "run/frame_plan.h"
#include "web/json.h"

namespace heatplate {
namespace {

const char* name_of(TextBoxId box) {
    for (const ControlEntry& c : control_table()) {
        if (c.kind == ControlKind::TextBox && c.id == static_cast<int>(box)) {
            return c.name;
        }
    }
    return "";
}

}  // namespace

int PageSession::begin(double pixel_ratio) {
    if (running()) {
        return kBusy;
    }
    controls_.clear_escape();
    std::optional<PageControls::Pictures> before = controls_.set_pixel_ratio(pixel_ratio);
    recording_.begin_run(controls_.saved_size());
    if (const std::optional<RunOutcome> refused = core_.begin_run()) {
        // Nothing was drawn: the pictures of the last run stay.
        if (before) {
            controls_.restore(std::move(*before));
        }
        return finish(*refused);
    }
    steps_ = steps_of(core_.MaxTime());
    return kBusy;
}

int PageSession::run_for(double budget_ms) {
    const double start = emscripten_get_now();
    while (running()) {
        paced_ = false;
        if (const std::optional<RunOutcome> outcome = core_.next_step()) {
            return finish(*outcome);
        }
        if (paced_) {
            return kPaced;
        }
        if (emscripten_get_now() - start >= budget_ms) {
            return kBusy;
        }
    }
    return kBusy;
}

void PageSession::step_done(std::int64_t iTime) {
    recording_.step_done(iTime);
    paced_ = is_shown_step(iTime, steps_);
}

int PageSession::finish(RunOutcome outcome) {
    recording_.end_run(outcome);
    return static_cast<int>(outcome);
}

std::string PageSession::take_outputs() {
    std::string out = "{\"texts\":{";
    const char* comma = "";
    for (const TextBoxId box : controls_.take_changed_texts()) {
        out += comma + json_string(name_of(box)) + ":" + json_string(controls_.text(box));
        comma = ",";
    }
    out += "},\"messages\":[";
    comma = "";
    for (const std::string& message : controls_.take_messages()) {
        out += comma + json_string(message);
        comma = ",";
    }
    return out + "],\"ended\":" + (controls_.ended() ? "true" : "false") + "}";
}

const std::vector<std::uint8_t>& PageSession::rgba(PictureId box) {
    // The 3-D view is drawn when it is shown.
    core_.refresh_view3d();
    const RasterImage& image = controls_.shown(box).image();
    std::vector<std::uint8_t>& out = rgba_[static_cast<std::size_t>(box)];
    out.resize(image.pixels.size() * 4);
    std::uint8_t* byte = out.data();
    for (const std::uint32_t pixel : image.pixels) {
        // 0xAARRGGBB to the bytes R, G, B, A.
        const std::uint32_t rgba =
            (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
        std::memcpy(byte, &rgba, 4);  // wasm is little-endian
        byte += 4;
    }
    return out;
}

}  // namespace heatplate
