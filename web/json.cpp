#include "web/json.h"

#include <cstdio>

#include "raster/raster.h"
#include "run/control_table.h"
#include "view/box_geometry.h"

namespace heatplate {
namespace {

const char* kind_name(ControlKind kind) {
    switch (kind) {
        case ControlKind::Frame:
            return "Frame";
        case ControlKind::CommandButton:
            return "CommandButton";
        case ControlKind::OptionButton:
            return "OptionButton";
        case ControlKind::Label:
            return "Label";
        case ControlKind::TextBox:
            return "TextBox";
        case ControlKind::PictureBox:
            return "PictureBox";
        case ControlKind::HScrollBar:
            break;
    }
    return "HScrollBar";
}

std::string css_colour(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", pixel_of(colour) & 0xFFFFFFu);
    return text;
}

std::string number(int value) {
    return std::to_string(value);
}

std::string control_json(const ControlEntry& c) {
    return "{\"kind\":" + json_string(kind_name(c.kind)) + ",\"name\":" + json_string(c.name) +
           ",\"container\":" + json_string(c.container) + ",\"left\":" + number(c.left) +
           ",\"top\":" + number(c.top) + ",\"width\":" + number(c.width) +
           ",\"height\":" + number(c.height) + ",\"tab\":" + number(c.tab) +
           ",\"text\":" + json_string(c.text) + ",\"enabled\":" + (c.enabled ? "true" : "false") +
           ",\"id\":" + number(c.id) + ",\"value\":" + number(c.value) +
           ",\"tip\":" + json_string(c.tip) + "}";
}

std::string picture_json(PictureId id) {
    const BoxGeometry& g = box_geometry(id);
    return "{\"stem\":" + json_string(picture_file_stem(id)) + ",\"width\":" + number(g.width) +
           ",\"height\":" + number(g.height) + ",\"background\":\"" + css_colour(g.background) +
           "\",\"foreground\":\"" + css_colour(g.foreground) + "\"}";
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (byte < 0x20) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += ch;  // UTF-8 passes as it is
        }
    }
    return out + "\"";
}

std::string page_description_json() {
    std::string out = "{\"window\":{\"name\":" + json_string(kWindowName) +
                      ",\"title\":" + json_string(kApplicationTitle) +
                      ",\"width\":" + number(kWindowWidthTwips) +
                      ",\"height\":" + number(kWindowHeightTwips) +
                      "},\"twipsPerPixel\":" + number(kTwipsPerPixel) +
                      ",\"borderPixels\":" + number(kBoxBorderPixels) + ",\"controls\":[";
    const char* comma = "";
    for (const ControlEntry& c : control_table()) {
        out += comma + control_json(c);
        comma = ",";
    }
    out += "],\"pictures\":[";
    comma = "";
    for (int k = 0; k < kPictureCount; ++k) {
        out += comma + picture_json(static_cast<PictureId>(k));
        comma = ",";
    }
    return out + "]}";
}

}  // namespace heatplate
