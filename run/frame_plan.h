#pragma once

#include <cstdint>
#include <optional>

namespace heatplate {

// The longest time a GIF frame can stay, in hundredths of a second.
inline constexpr int kGifMaxDelay = 65535;
// Many viewers show a frame meant for less than this many hundredths of a
// second for a tenth of a second instead, so a chosen delay never goes below.
inline constexpr int kGifShortestReliableDelay = 2;

// How long a run's animation plays by default, wherever it is recorded.
inline constexpr int kAnimationPlayingTimeMs = 10000;

// Without a chosen spacing, frames come every so many steps that a run
// makes at most this many.
inline constexpr std::int64_t kDefaultMostFrames = 300;

// The delay, in hundredths of a second, that plays the given number of
// frames in about the given time: rounded to the nearest hundredth, and no
// shorter than kGifShortestReliableDelay nor longer than a GIF can hold.
int delay_for_playing_time(std::int64_t frames, int total_ms);

// Which steps of a run become frames, and for how long each shows.
struct FramePlan {
    std::int64_t steps = 0;  // the steps the run is to make
    std::int64_t every = 1;  // a frame after every this many steps, and after the last
    int delay = 0;           // hundredths of a second per frame

    bool due(std::int64_t step) const { return step % every == 0 || step == steps; }
    // The frames of a run that makes all its steps; one that makes none
    // has its starting picture as its one frame.
    std::int64_t frames() const;
};

// The steps a run with this t Max makes: iTime = 1, 2, ... while iTime <= t Max.
std::int64_t steps_of(double MaxTime);

// The plan for a run of the given steps, with a chosen spacing and delay
// (milliseconds, rounded to the nearest hundredth of a second) where they
// were chosen.
FramePlan plan_frames(std::int64_t steps, std::optional<std::int64_t> every = std::nullopt,
                      std::optional<int> delay_ms = std::nullopt);

// A run is shown at least at this many of its steps, evenly spread (at
// every step when it has no more), each as a display frame of its own: a
// short run plays over about a second, a long one at full speed.
inline constexpr std::int64_t kShownSteps = 60;

// Whether iTime is one of those steps of a run of the given steps: the one
// at which iTime * kShownSteps passes a multiple of the steps.
bool is_shown_step(std::int64_t iTime, std::int64_t steps);

}  // namespace heatplate
