// The functions the page's worker calls: plain C, numbers and UTF-8
// pointers, so that no binding layer is needed between JavaScript and the
// engine.
#include <emscripten.h>

#include <algorithm>
#include <string>

#include "web/json.h"
#include "web/page_session.h"

using heatplate::OptionId;
using heatplate::PageSession;
using heatplate::PictureId;
using heatplate::TextBoxId;

namespace {

PageSession& session() {
    static PageSession s;
    return s;
}

heatplate::AnimationEncoder& encoder() {
    static heatplate::AnimationEncoder e;
    return e;
}

std::string& buffer() {
    static std::string bytes;
    return bytes;
}

// Text handed to JavaScript, valid until the next call that returns text.
std::string& held() {
    static std::string text;
    return text;
}

const char* hand_over(std::string text) {
    held() = std::move(text);
    return held().c_str();
}

bool is_picture(int box) {
    return box >= 0 && box < heatplate::kPictureCount;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* hp_page_description() {
    return hand_over(heatplate::page_description_json());
}

EMSCRIPTEN_KEEPALIVE void hp_set_text(int box, const char* text) {
    if (box >= 0 && box < static_cast<int>(heatplate::kTextBoxCount)) {
        session().controls().set_input(static_cast<TextBoxId>(box), text);
    }
}

// option: an OptionId, or -1 when none is selected.
EMSCRIPTEN_KEEPALIVE void hp_choose(int option) {
    session().controls().choose(option < 0 ? std::nullopt
                                           : std::optional(static_cast<OptionId>(option)));
}

EMSCRIPTEN_KEEPALIVE void hp_set_scroll(int value) {
    session().controls().set_scroll(value);
}

EMSCRIPTEN_KEEPALIVE int hp_begin(double pixel_ratio) {
    return session().begin(pixel_ratio);
}

EMSCRIPTEN_KEEPALIVE int hp_run_for(double budget_ms) {
    return session().run_for(budget_ms);
}

EMSCRIPTEN_KEEPALIVE void hp_escape() {
    if (session().running()) {
        session().controls().press_escape();
    }
}

EMSCRIPTEN_KEEPALIVE void hp_scroll_change() {
    if (!session().running()) {
        session().scroll_change();
    }
}

EMSCRIPTEN_KEEPALIVE const char* hp_take_outputs() {
    return hand_over(session().take_outputs());
}

// The picture's version: it grows with every change.
EMSCRIPTEN_KEEPALIVE double hp_picture_version(int box) {
    if (!is_picture(box)) {
        return 0;
    }
    session().core().refresh_view3d();
    return static_cast<double>(session().controls().shown(static_cast<PictureId>(box)).version());
}

EMSCRIPTEN_KEEPALIVE int hp_picture_width(int box) {
    return is_picture(box) ? session().controls().shown(static_cast<PictureId>(box)).image().width
                           : 0;
}

EMSCRIPTEN_KEEPALIVE int hp_picture_height(int box) {
    return is_picture(box) ? session().controls().shown(static_cast<PictureId>(box)).image().height
                           : 0;
}

// Width x height x 4 bytes.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* hp_picture_rgba(int box) {
    return is_picture(box) ? session().rgba(static_cast<PictureId>(box)).data() : nullptr;
}

// The bytes of the text last handed over (hp_take_results, say).
EMSCRIPTEN_KEEPALIVE int hp_held_size() {
    return static_cast<int>(held().size());
}

// results.txt of the run that just completed, once; null otherwise.
EMSCRIPTEN_KEEPALIVE const char* hp_take_results() {
    std::optional<std::string> bytes = session().controls().take_results();
    return bytes ? hand_over(std::move(*bytes)) : nullptr;
}

// The frames the run has taken since the last call, for the encoder.
EMSCRIPTEN_KEEPALIVE const char* hp_take_frames() {
    return hand_over(session().take_frames());
}

// Why the last run's frames could not be taken, or "".
EMSCRIPTEN_KEEPALIVE const char* hp_recording_error() {
    return hand_over(session().recording().error().value_or(""));
}

// The encoder's side, in a worker of its own: begin, add the bytes of
// hp_take_frames put into hp_encoder_buffer, end; 0 for success, 1 for a
// failure that hp_encoder_error names.
EMSCRIPTEN_KEEPALIVE void hp_encoder_begin() {
    encoder().begin();
}

EMSCRIPTEN_KEEPALIVE char* hp_encoder_buffer(int size) {
    buffer().resize(static_cast<std::size_t>(std::max(size, 0)));
    return buffer().data();
}

EMSCRIPTEN_KEEPALIVE int hp_encoder_add() {
    return encoder().add(buffer()) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int hp_encoder_end() {
    return encoder().end() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* hp_encoder_error() {
    return hand_over(encoder().error().value_or(""));
}

// The last run's animation of a picture, a looping GIF.
EMSCRIPTEN_KEEPALIVE const char* hp_gif(int box) {
    return is_picture(box) ? encoder().gif(static_cast<PictureId>(box)).data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE int hp_gif_size(int box) {
    return is_picture(box) ? static_cast<int>(encoder().gif(static_cast<PictureId>(box)).size())
                           : 0;
}

}  // extern "C"
