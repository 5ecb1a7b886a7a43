#pragma once

#include <array>
#include <span>
#include <string_view>

#include "run/controls.h"

namespace heatplate {

enum class ControlKind {
    Frame,
    CommandButton,
    OptionButton,
    Label,
    TextBox,
    PictureBox,
    HScrollBar
};

// One control of the window as it was designed. Positions and sizes are in
// twips (1/1440 inch) from the top-left corner of the container: the
// window's client area, a frame, or the client area of a drawing box.
struct ControlEntry {
    ControlKind kind;
    const char* name;
    const char* container;
    int left, top, width, height;
    int tab;           // place in the keyboard focus order, 0..35
    const char* text;  // caption or start text, UTF-8
    bool enabled;
    int id;     // the TextBoxId, OptionId or PictureId of its kind, or -1
    int value;  // the scroll bar's start value; 1 for the option selected at start
    // What the control means and accepts, shown when the pointer rests on it;
    // empty for none.
    const char* tip;
};

inline constexpr const char* kWindowName = "Form1";
// The window's client area as it was designed, in twips.
inline constexpr int kWindowWidthTwips = 11880;
inline constexpr int kWindowHeightTwips = 8295;
// Captions the message boxes.
inline constexpr const char* kApplicationTitle = "heatplate";
inline constexpr int kControlCount = 36;

// Every control, each container before what it holds, in the order the
// window creates them.
std::span<const ControlEntry, kControlCount> control_table();

// What a text box shows when the window opens.
std::string_view start_text(TextBoxId box);

// The option selected when the window opens.
OptionId start_option();

}  // namespace heatplate
