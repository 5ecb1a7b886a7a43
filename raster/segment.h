#pragma once

#include <cstdint>
#include <optional>

namespace heatplate {

// Lines are clipped to this many pixels around the picture before they are
// drawn, so that a point far outside (a residual far above the chart's
// range, say) costs no more than one inside and the integer arithmetic of
// the rasteriser cannot overflow.
inline constexpr double kFar = 1 << 20;

// The ends of a line, each the pixel whose centre is nearest, once the line
// is clipped to kFar around the picture.
struct PixelSegment {
    std::int64_t x0, y0, x1, y1;

    // Whether some of it may cross a picture of that size.
    bool may_cross(int width, int height) const;
};

// The segment between two positions in pixel units (a pixel's centre at a
// whole number), or nothing when no part of it comes within kFar.
std::optional<PixelSegment> pixel_segment(double px1, double py1, double px2, double py2);

}  // namespace heatplate
