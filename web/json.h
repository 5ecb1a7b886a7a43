#pragma once

#include <string>
#include <string_view>

namespace heatplate {

// A JSON string literal of UTF-8 text.
std::string json_string(std::string_view text);

// What the page is built from, as JSON: the window's client area in twips,
// the pixels per twip and the pictures' border, the 36 controls of the
// control table (each with its kind, name, container, place, tab stop,
// text, enabled, id, value and tip), and for each picture its file name,
// its size and its colours (CSS "#rrggbb").
std::string page_description_json();

}  // namespace heatplate
