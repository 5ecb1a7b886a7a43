#include "run/control_table.h"

namespace heatplate {
namespace {

using K = ControlKind;

constexpr int text_box(TextBoxId id) {
    return static_cast<int>(id);
}
constexpr int option(OptionId id) {
    return static_cast<int>(id);
}
constexpr int picture(PictureId id) {
    return static_cast<int>(id);
}

constexpr std::array<ControlEntry, kControlCount> kControls{{
    // kind, name, container, left, top, width, height, tab, text, enabled, id, value, tip
    {K::Frame, "Frame1", "Form1", 480, 120, 1815, 1455, 0, "", true, -1, 0, ""},
    {K::CommandButton, "Command1", "Form1", 495, 1680, 1800, 615, 3, "CALCULATE", true, -1, 0,
     "Runs the calculation and writes results.txt in the working folder.\nEscape ends a run early, "
     "after the current step; its results are kept.\nClosing the window abandons a run; "
     "results.txt is not written."},
    {K::Frame, "Frame2", "Form1", 240, 2520, 2295, 1695, 4, "", true, -1, 0, ""},
    {K::Frame, "Frame3", "Form1", 2760, 240, 3975, 4095, 18, "", true, -1, 0, ""},
    {K::PictureBox, "Picture_3DGraph", "Form1", 2760, 4440, 3975, 3495, 17, "", true,
     picture(PictureId::Picture_3DGraph), 0,
     "The 3-D view of the temperatures.\nRight-click to save or copy the picture."},
    {K::PictureBox, "Picture3", "Form1", 6840, 360, 4335, 3975, 30, "", true,
     picture(PictureId::Picture3), 0,
     "The residual of each time step: how much the temperatures still change.\nRight-click to save "
     "or copy the picture."},
    {K::OptionButton, "Option_Explicit", "Frame1", 240, 240, 975, 375, 2, "Explicit", true,
     option(OptionId::Option_Explicit), 1,
     "The explicit method: each time step computes the new temperatures\nstraight from those of "
     "the step before."},
    {K::OptionButton, "Option_ADI", "Frame1", 240, 840, 1455, 375, 1, "ADI", true,
     option(OptionId::Option_ADI), 0,
     "The ADI method (alternating direction implicit): each time step\nsolves along the rows and "
     "along the columns in turn."},
    {K::Label, "Label1", "Frame2", 360, 360, 375, 375, 12, "Nx", true, -1, 0, ""},
    {K::TextBox, "Text_Nx", "Frame2", 600, 360, 495, 285, 8, "20", true,
     text_box(TextBoxId::Text_Nx), 0,
     "Nx: the number of grid intervals across the plate,\na whole number from 2 to 101."},
    {K::Label, "Label4", "Frame2", 1260, 360, 375, 255, 9, "dx", true, -1, 0, ""},
    {K::TextBox, "Text_dx", "Frame2", 1560, 360, 585, 285, 5, "", false,
     text_box(TextBoxId::Text_dx), 0, ""},
    {K::Label, "Label9", "Frame2", 360, 720, 255, 255, 15, "Ny", true, -1, 0, ""},
    {K::TextBox, "Text_Ny", "Frame2", 600, 720, 495, 285, 16, "20", true,
     text_box(TextBoxId::Text_Ny), 0,
     "Ny: the number of grid intervals up the plate,\na whole number from 2 to 101."},
    {K::Label, "Label8", "Frame2", 1260, 720, 255, 255, 13, "dy", true, -1, 0, ""},
    {K::TextBox, "Text_dy", "Frame2", 1560, 720, 585, 285, 14, "", false,
     text_box(TextBoxId::Text_dy), 0, ""},
    {K::Label, "Label3", "Frame2", 120, 1200, 495, 255, 10, "t Max", true, -1, 0, ""},
    {K::TextBox, "Text_MaxTime", "Frame2", 600, 1200, 495, 285, 6, "50", true,
     text_box(TextBoxId::Text_MaxTime), 0,
     "t Max: how many time steps to run; any number but 0,\nsuch as 500 or 1e6 (below 1, no step "
     "is run).\nThe decimal separator is always a point."},
    {K::Label, "Label2", "Frame2", 1365, 1200, 375, 375, 11, "t", true, -1, 0, ""},
    {K::TextBox, "Text_iTime", "Frame2", 1560, 1200, 585, 285, 7, "0", false,
     text_box(TextBoxId::Text_iTime), 0, ""},
    {K::Label, "Label10", "Frame3", 1560, 240, 495, 255, 21, "Tw3", true, -1, 0, ""},
    {K::TextBox, "Text_Tw3", "Frame3", 2040, 120, 375, 285, 20, "100", true,
     text_box(TextBoxId::Text_Tw3), 0,
     "Tw3: the temperature of the top wall; any number,\nsuch as 100, -12.5 or 1e3.\nThe decimal "
     "separator is always a point."},
    {K::Label, "Label11", "Frame3", 120, 1440, 375, 255, 23, "Tw4", true, -1, 0, ""},
    {K::TextBox, "Text_Tw4", "Frame3", 120, 1680, 495, 285, 22, "100", true,
     text_box(TextBoxId::Text_Tw4), 0,
     "Tw4: the temperature of the left wall; any number,\nsuch as 100, -12.5 or 1e3.\nThe decimal "
     "separator is always a point."},
    {K::PictureBox, "Picture_Paint", "Frame3", 720, 480, 2500, 2500, 19, "", true,
     picture(PictureId::Picture_Paint), 0,
     "The temperature map of the plate.\nRight-click to save or copy the picture."},
    {K::Label, "Label6", "Frame3", 3360, 1440, 495, 375, 25, "Tw2", true, -1, 0, ""},
    {K::TextBox, "Text_Tw2", "Frame3", 3360, 1680, 495, 285, 24, "100", true,
     text_box(TextBoxId::Text_Tw2), 0,
     "Tw2: the temperature of the right wall; any number,\nsuch as 100, -12.5 or 1e3.\nThe decimal "
     "separator is always a point."},
    {K::Label, "Label5", "Frame3", 1560, 3120, 615, 375, 27, "Tw1", true, -1, 0, ""},
    {K::TextBox, "Text_Tw1", "Frame3", 2040, 3000, 495, 285, 26, "100", true,
     text_box(TextBoxId::Text_Tw1), 0,
     "Tw1: the temperature of the bottom wall; any number,\nsuch as 100, -12.5 or 1e3.\nThe "
     "decimal separator is always a point."},
    {K::Label, "Label7", "Frame3", 720, 3720, 1815, 255, 29, "Initial field temperature", true, -1,
     0, ""},
    {K::TextBox, "Text_Tfield", "Frame3", 2520, 3720, 495, 285, 28, "0", true,
     text_box(TextBoxId::Text_Tfield), 0,
     "The temperature of the plate inside the walls at the start; any number,\nsuch as 100, -12.5 "
     "or 1e3.\nThe decimal separator is always a point."},
    // The letter "a" in the Symbol font showed an alpha; the letter itself
    // says the same in any font.
    {K::Label, "Label12", "Picture_3DGraph", 600, 3120, 255, 255, 33, "\u03B1", true, -1, 0, ""},
    {K::TextBox, "Text_Alfa", "Picture_3DGraph", 840, 3120, 375, 285, 32, "30", true,
     text_box(TextBoxId::Text_Alfa), 0,
     "\u03B1: the angle of the 3-D view in degrees, used from the next run;\nany number, such as "
     "45 or 22.5.\nThe decimal separator is always a point."},
    {K::HScrollBar, "HScroll_Alfa", "Picture_3DGraph", 1200, 3120, 2055, 255, 31, "", true, -1, 30,
     "Turns the 3-D view, from 10 to 90 degrees.\nArrow keys: 1 degree; Page Up and Page Down: 10; "
     "Home: 10; End: 90."},
    {K::Label, "Label13", "Picture3", 1785, 3570, 645, 225, 34, "residual", true, -1, 0, ""},
    {K::TextBox, "Text_RMS", "Picture3", 2520, 3570, 1485, 285, 35, "", false,
     text_box(TextBoxId::Text_RMS), 0, ""},
}};

constexpr bool tabs_are_a_permutation() {
    std::array<bool, kControlCount> seen{};
    for (const ControlEntry& c : kControls) {
        if (c.tab < 0 || c.tab >= kControlCount || seen[static_cast<std::size_t>(c.tab)]) {
            return false;
        }
        seen[static_cast<std::size_t>(c.tab)] = true;
    }
    return true;
}
static_assert(tabs_are_a_permutation());

constexpr bool every_text_box_listed_once() {
    std::array<int, kTextBoxCount> count{};
    for (const ControlEntry& c : kControls) {
        if (c.kind == ControlKind::TextBox) {
            ++count[static_cast<std::size_t>(c.id)];
        }
    }
    for (const int n : count) {
        if (n != 1) {
            return false;
        }
    }
    return true;
}
static_assert(every_text_box_listed_once());

const ControlEntry& control_of(TextBoxId box) {
    for (const ControlEntry& c : kControls) {
        if (c.kind == ControlKind::TextBox && c.id == static_cast<int>(box)) {
            return c;
        }
    }
    // Every text box is listed (checked above).
    return kControls.front();
}

}  // namespace

std::span<const ControlEntry, kControlCount> control_table() {
    return kControls;
}

std::string_view start_text(TextBoxId box) {
    return control_of(box).text;
}

OptionId start_option() {
    for (const ControlEntry& c : kControls) {
        if (c.kind == ControlKind::OptionButton && c.value == 1) {
            return static_cast<OptionId>(c.id);
        }
    }
    return OptionId::Option_Explicit;
}

}  // namespace heatplate
