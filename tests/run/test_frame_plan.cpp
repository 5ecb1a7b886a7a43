// How long an animation's frames show.
#include <gtest/gtest.h>

#include "run/frame_plan.h"

namespace heatplate {
namespace {

TEST(DelayForPlayingTime, SharesTheTimeRoundedWithinWhatViewersShow) {
    EXPECT_EQ(delay_for_playing_time(300, 10000), 3);     // 3.33 hundredths
    EXPECT_EQ(delay_for_playing_time(400, 10000), 3);     // 2.5, halves up
    EXPECT_EQ(delay_for_playing_time(100000, 10000), 2);  // never below 2
    EXPECT_EQ(delay_for_playing_time(1, 1000000000), kGifMaxDelay);
}

}  // namespace
}  // namespace heatplate
