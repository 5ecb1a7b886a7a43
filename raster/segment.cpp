#include "raster/segment.h"

#include <algorithm>
#include <cmath>

#include "raster/raster.h"

namespace heatplate {
namespace {

// Clips the segment to [-kFar, kFar] in both directions (Liang-Barsky).
// Returns false when nothing of it lies inside. An end moved onto the border
// is put exactly on it: with ends near the limits of a float, interpolating
// that coordinate would lose every digit that matters in the image.
bool clip_far(double& x1, double& y1, double& x2, double& y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 + kFar, kFar - x1, y1 + kFar, kFar - y1};
    double t0 = 0;
    double t1 = 1;
    int border0 = -1;
    int border1 = -1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            if (t > t0) {
                t0 = t;
                border0 = k;
            }
        } else if (t < t1) {
            t1 = t;
            border1 = k;
        }
        if (t0 > t1) {
            return false;
        }
    }
    auto point_at = [&](double t, int border, double& x, double& y) {
        x = std::clamp(x1 + t * dx, -kFar, kFar);
        y = std::clamp(y1 + t * dy, -kFar, kFar);
        if (border == 0 || border == 1) {
            x = border == 0 ? -kFar : kFar;
        } else {
            y = border == 2 ? -kFar : kFar;
        }
    };
    double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
    if (border0 >= 0) {
        point_at(t0, border0, nx1, ny1);
    }
    if (border1 >= 0) {
        point_at(t1, border1, nx2, ny2);
    }
    x1 = nx1;
    y1 = ny1;
    x2 = nx2;
    y2 = ny2;
    return true;
}

}  // namespace

bool PixelSegment::may_cross(int width, int height) const {
    return std::max(x0, x1) >= 0 && std::min(x0, x1) < width && std::max(y0, y1) >= 0 &&
           std::min(y0, y1) < height;
}

bool scale_axes(float x1, float y1, float x2, float y2, PixelAxis& ax, PixelAxis& ay) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
        x1 == x2 || y1 == y2) {
        return false;
    }
    // In double, where the difference of two floats is exact enough and
    // cannot overflow.
    ax.origin = x1;
    ax.step = (ax.size - 1) / (static_cast<double>(x2) - x1);
    ay.origin = y1;
    ay.step = (ay.size - 1) / (static_cast<double>(y2) - y1);
    return true;
}

std::optional<std::pair<int, int>> point_pixel(const PixelAxis& ax, const PixelAxis& ay, float x,
                                               float y) {
    const double fx = ax.position(x);
    const double fy = ay.position(y);
    if (!(std::abs(fx) <= kFar && std::abs(fy) <= kFar)) {
        return std::nullopt;
    }
    const std::int64_t px = round_pixel(fx);
    const std::int64_t py = round_pixel(fy);
    if (px < 0 || px >= ax.size || py < 0 || py >= ay.size) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(px), static_cast<int>(py)};
}

std::optional<PixelSegment> pixel_segment(double px1, double py1, double px2, double py2) {
    const bool near = std::abs(px1) <= kFar && std::abs(py1) <= kFar && std::abs(px2) <= kFar &&
                      std::abs(py2) <= kFar;
    if (!near && !clip_far(px1, py1, px2, py2)) {
        return std::nullopt;
    }
    return PixelSegment{round_pixel(px1), round_pixel(py1), round_pixel(px2), round_pixel(py2)};
}

}  // namespace heatplate
