#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/frame_recorder.h"

namespace heatplate {

// The frames of a run on their way from the worker that runs it to the one
// that encodes them, which runs beside it: each the three pictures of one
// moment with the delay they show for, as plain bytes that cross between
// the workers without a copy.

// Appends the frames to bytes.
void append_frames(std::string& bytes, const PictureFrames& frames, int delay);

struct TimedFrames {
    PictureFrames frames;
    int delay = 0;
};

// The frames the bytes hold, in order; nothing when they are not whole.
std::optional<std::vector<TimedFrames>> read_frames(std::string_view bytes);

}  // namespace heatplate
