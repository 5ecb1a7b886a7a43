#include "app/batch_controls.h"

namespace heatplate {

BatchControls::BatchControls() {
    // The window's start texts.
    set_input(TextBoxId::Text_Nx, "20");
    set_input(TextBoxId::Text_Ny, "20");
    set_input(TextBoxId::Text_Tw1, "100");
    set_input(TextBoxId::Text_Tw2, "100");
    set_input(TextBoxId::Text_Tw3, "100");
    set_input(TextBoxId::Text_Tw4, "100");
    set_input(TextBoxId::Text_Tfield, "0");
    set_input(TextBoxId::Text_MaxTime, "50");
    set_input(TextBoxId::Text_Alfa, "30");
    set_input(TextBoxId::Text_iTime, "0");
}

void BatchControls::set_text(TextBoxId box, const std::string& text) {
    texts_[index(box)] = text;
    if (trace_ != nullptr && box == TextBoxId::Text_RMS) {
        std::fprintf(trace_, "%s %s\n", texts_[index(TextBoxId::Text_iTime)].c_str(), text.c_str());
    }
}

DrawingBox& BatchControls::picture(PictureId id) {
    DrawingBox* box = pictures_[static_cast<std::size_t>(id)];
    return box != nullptr ? *box : null_box_;
}

void BatchControls::message(const std::string& text) {
    std::fprintf(stderr, "heatplate-batch: %s\n", text.c_str());
}

}  // namespace heatplate
