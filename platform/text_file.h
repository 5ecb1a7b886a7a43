#pragma once

#include <optional>
#include <string>

namespace heatplate {

// Replaces the file at path with bytes, or leaves the old file untouched:
// the bytes go to a temporary file beside it that is renamed over the old
// one only once everything is written. Returns a message naming the file and
// the reason when that fails.
std::optional<std::string> save_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace heatplate
