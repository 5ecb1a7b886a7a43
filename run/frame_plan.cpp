#include "run/frame_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace heatplate {

int delay_for_playing_time(std::int64_t frames, int total_ms) {
    // Past this many frames every delay is the shortest anyway.
    const std::int64_t n = std::clamp<std::int64_t>(frames, 1, 1000000000);
    const std::int64_t ms = std::max(total_ms, 0);
    const std::int64_t delay = (ms + 5 * n) / (10 * n);  // hundredths, halves up
    return static_cast<int>(
        std::clamp<std::int64_t>(delay, kGifShortestReliableDelay, kGifMaxDelay));
}

std::int64_t FramePlan::frames() const {
    if (steps <= 0) {
        return 1;
    }
    return steps / every + (steps % every != 0 ? 1 : 0);
}

std::int64_t steps_of(double MaxTime) {
    if (!(MaxTime >= 1)) {
        return 0;
    }
    // 2^63 and above (or infinity): more steps than any run will live to make.
    if (MaxTime >= 9223372036854775807.0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(std::floor(MaxTime));
}

FramePlan plan_frames(std::int64_t steps, std::optional<std::int64_t> every,
                      std::optional<int> delay_ms) {
    FramePlan plan;
    plan.steps = std::max<std::int64_t>(steps, 0);
    // The smallest step count that keeps the frames to kDefaultMostFrames.
    const std::int64_t fitting =
        plan.steps / kDefaultMostFrames + (plan.steps % kDefaultMostFrames != 0 ? 1 : 0);
    plan.every = std::max<std::int64_t>(every.value_or(fitting), 1);
    plan.delay = delay_ms ? (*delay_ms + 5) / 10
                          : delay_for_playing_time(plan.frames(), kAnimationPlayingTimeMs);
    return plan;
}

bool is_shown_step(std::int64_t iTime, std::int64_t steps) {
    if (steps <= kShownSteps) {
        return true;
    }
    const auto n = static_cast<std::uint64_t>(steps);
    const auto shown = static_cast<std::uint64_t>(kShownSteps);
    return (static_cast<std::uint64_t>(iTime) * shown) % n < shown;
}

}  // namespace heatplate
