#include "platform/image_drawing_box.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace heatplate {
namespace {

std::uint32_t pixel_of(Colour colour) {
    const auto c = static_cast<std::uint32_t>(colour);
    const std::uint32_t red = c & 0xFFu;
    const std::uint32_t green = (c >> 8) & 0xFFu;
    const std::uint32_t blue = (c >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

bool finite(float v) {
    return std::isfinite(v);
}

// Nearest pixel of a position in pixel units, halves upwards, for
// positions of magnitude below 2^62 (callers clamp). The same as
// floor(p + 0.5) without a call into the maths library.
std::int64_t round_pixel(double p) {
    const double q = p + 0.5;
    auto k = static_cast<std::int64_t>(q);
    if (static_cast<double>(k) > q) {
        --k;
    }
    return k;
}

// Lines are clipped to this many pixels around the image before they are
// rasterised, so that a point far outside (a residual far above the chart's
// range, say) costs no more than one inside and the integer arithmetic of
// the rasteriser cannot overflow.
constexpr double kFar = 1 << 20;

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

struct Canvas {
    std::uint32_t* bits;
    std::ptrdiff_t stride;  // in pixels
    int width;
    int height;

    std::uint32_t* row(int y) const { return bits + stride * y; }
    bool contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && x < width && y >= 0 && y < height;
    }
};

}  // namespace

ImageDrawingBox::ImageDrawingBox(int width, int height, Colour background, Colour foreground)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32),
      background_(pixel_of(background)),
      foreground_(pixel_of(foreground)) {
    ax_.size = image_.width();
    ay_.size = image_.height();
    stride_ = image_.bytesPerLine() / 4;
    fill_all(background_);
}

void ImageDrawingBox::fill_all(std::uint32_t pixel) {
    // Not QImage::fill: its vectorised fill leaves the upper halves of the
    // vector registers in use, and on some processors every ordinary SSE
    // instruction that follows (the solver, the colour indices) then runs
    // several times slower until the operating system happens to reset them.
    fill_span(pixels(), {0, ax_.size - 1}, {0, ay_.size - 1}, pixel);
}

void ImageDrawingBox::scale(float x1, float y1, float x2, float y2) {
    ++mapping_stamp_;
    mapping_valid_ = finite(x1) && finite(y1) && finite(x2) && finite(y2) && x1 != x2 && y1 != y2;
    if (!mapping_valid_) {
        return;
    }
    // In double, where the difference of two floats is exact enough and
    // cannot overflow.
    ax_.origin = x1;
    ax_.step = (ax_.size - 1) / (static_cast<double>(x2) - x1);
    ay_.origin = y1;
    ay_.step = (ay_.size - 1) / (static_cast<double>(y2) - y1);
}

ImageDrawingBox::Span ImageDrawingBox::span(const Axis& axis, float a, float b) const {
    if (!mapping_valid_ || !finite(a) || !finite(b)) {
        return {};
    }
    // Anything beyond the image is as good as one pixel beyond it.
    const double limit_lo = -1;
    const auto limit_hi = static_cast<double>(axis.size);
    const std::int64_t pa =
        round_pixel(std::clamp((a - axis.origin) * axis.step, limit_lo, limit_hi));
    const std::int64_t pb =
        round_pixel(std::clamp((b - axis.origin) * axis.step, limit_lo, limit_hi));
    const std::int64_t lo = std::max<std::int64_t>(std::min(pa, pb), 0);
    const std::int64_t hi = std::min<std::int64_t>(std::max(pa, pb), axis.size - 1);
    if (lo > hi) {
        return {};
    }
    return {static_cast<int>(lo), static_cast<int>(hi)};
}

void ImageDrawingBox::cls() {
    fill_all(background_);
    cur_x_ = 0;
    cur_y_ = 0;
    cells_state_ = CellsState::Cleared;
    touched();
}

std::uint32_t* ImageDrawingBox::pixels() {
    // Through bits(), which first gives the image its own copy of the pixels
    // if a viewer still shares them.
    return reinterpret_cast<std::uint32_t*>(image_.bits());
}

void ImageDrawingBox::fill_span(std::uint32_t* bits, Span xs, Span ys, std::uint32_t pixel) {
    for (int y = ys.lo; y <= ys.hi; ++y) {
        std::uint32_t* row = bits + stride_ * y;
        std::fill(row + xs.lo, row + xs.hi + 1, pixel);
    }
}

void ImageDrawingBox::fill_rect(float x1, float y1, float x2, float y2, Colour colour) {
    if (!finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    const Span xs = span(ax_, x1, x2);
    const Span ys = span(ay_, y1, y2);
    if (xs.lo > xs.hi || ys.lo > ys.hi) {
        return;
    }
    fill_span(pixels(), xs, ys, pixel_of(colour));
    forget_cells();
    touched();
}

void ImageDrawingBox::draw_line(double px1, double py1, double px2, double py2,
                                std::uint32_t pixel) {
    const bool near = std::abs(px1) <= kFar && std::abs(py1) <= kFar && std::abs(px2) <= kFar &&
                      std::abs(py2) <= kFar;
    if (!near && !clip_far(px1, py1, px2, py2)) {
        return;
    }
    const std::int64_t x0 = round_pixel(px1);
    const std::int64_t y0 = round_pixel(py1);
    const std::int64_t x1 = round_pixel(px2);
    const std::int64_t y1 = round_pixel(py2);
    const Canvas canvas{pixels(), stride_, ax_.size, ay_.size};
    if (std::max(x0, x1) < 0 || std::min(x0, x1) >= canvas.width || std::max(y0, y1) < 0 ||
        std::min(y0, y1) >= canvas.height) {
        return;
    }

    // Along the major axis every pixel position t = 0..len gets the minor
    // coordinate rounded from the exact line, halves away from the start:
    // minor(t) = floor((2 t d + len) / (2 len)). Only the positions inside
    // the image are visited; the first one's quotient and remainder come
    // from a division, the rest by stepping.
    const bool x_major = std::abs(x1 - x0) >= std::abs(y1 - y0);
    const std::int64_t major0 = x_major ? x0 : y0;
    const std::int64_t minor0 = x_major ? y0 : x0;
    const std::int64_t major_delta = x_major ? x1 - x0 : y1 - y0;
    const std::int64_t minor_delta = x_major ? y1 - y0 : x1 - x0;
    const std::int64_t major_size = x_major ? canvas.width : canvas.height;
    const std::int64_t len = std::abs(major_delta);
    const std::int64_t d = std::abs(minor_delta);
    const std::int64_t major_dir = major_delta < 0 ? -1 : 1;
    const std::int64_t minor_dir = minor_delta < 0 ? -1 : 1;

    std::int64_t t_lo = 0;
    std::int64_t t_hi = len;
    if (major_dir > 0) {
        t_lo = std::max(t_lo, -major0);
        t_hi = std::min(t_hi, major_size - 1 - major0);
    } else {
        t_lo = std::max(t_lo, major0 - (major_size - 1));
        t_hi = std::min(t_hi, major0);
    }
    if (len == 0) {
        if (canvas.contains(x0, y0)) {
            canvas.row(static_cast<int>(y0))[x0] = pixel;
        }
        return;
    }
    const std::int64_t den = 2 * len;
    std::int64_t num = 2 * t_lo * d + len;
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    for (std::int64_t t = t_lo; t <= t_hi; ++t) {
        const std::int64_t major = major0 + major_dir * t;
        const std::int64_t minor = minor0 + minor_dir * q;
        const std::int64_t x = x_major ? major : minor;
        const std::int64_t y = x_major ? minor : major;
        if (canvas.contains(x, y)) {
            canvas.row(static_cast<int>(y))[x] = pixel;
        }
        r += 2 * d;
        if (r >= den) {
            r -= den;
            ++q;
        }
    }
}

void ImageDrawingBox::line(float x1, float y1, float x2, float y2, Colour colour) {
    if (!mapping_valid_ || !finite(x1) || !finite(y1) || !finite(x2) || !finite(y2)) {
        return;
    }
    draw_line((x1 - ax_.origin) * ax_.step, (y1 - ay_.origin) * ay_.step,
              (x2 - ax_.origin) * ax_.step, (y2 - ay_.origin) * ay_.step, pixel_of(colour));
    forget_cells();
    touched();
}

void ImageDrawingBox::pset(float x, float y) {
    if (!finite(x) || !finite(y)) {
        return;
    }
    cur_x_ = x;
    cur_y_ = y;
    if (!mapping_valid_) {
        return;
    }
    const double fx = (x - ax_.origin) * ax_.step;
    const double fy = (y - ay_.origin) * ay_.step;
    if (!(std::abs(fx) <= kFar && std::abs(fy) <= kFar)) {
        return;
    }
    const std::int64_t px = round_pixel(fx);
    const std::int64_t py = round_pixel(fy);
    if (px >= 0 && px < ax_.size && py >= 0 && py < ay_.size) {
        pixels()[stride_ * py + px] = foreground_;
        forget_cells();
        touched();
    }
}

void ImageDrawingBox::line_to(float x, float y, Colour colour) {
    if (!finite(x) || !finite(y)) {
        return;
    }
    const float from_x = cur_x_;
    const float from_y = cur_y_;
    cur_x_ = x;
    cur_y_ = y;
    line(from_x, from_y, x, y, colour);
}

const QImage& ImageDrawingBox::image() const {
    return image_;
}

bool ImageDrawingBox::save_png(const QString& path) const {
    return image_.save(path, "PNG");
}

std::uint64_t ImageDrawingBox::version() const {
    return version_;
}

void ImageDrawingBox::forget_cells() {
    cells_state_ = CellsState::Unknown;
}

void ImageDrawingBox::build_cell_geometry(std::span<const float> xs, std::span<const float> ys) {
    cell_xs_.assign(xs.begin(), xs.end());
    cell_ys_.assign(ys.begin(), ys.end());
    cells_mapping_stamp_ = mapping_stamp_;

    auto build = [this](const Axis& axis, std::span<const float> edges, std::vector<Span>& spans,
                        std::vector<int>& start, std::vector<int>& cover) {
        const int n = static_cast<int>(edges.size()) - 1;
        spans.resize(static_cast<std::size_t>(n));
        start.assign(static_cast<std::size_t>(axis.size) + 1, 0);
        for (int k = 1; k <= n; ++k) {
            const Span s = span(axis, edges[static_cast<std::size_t>(k)],
                                edges[static_cast<std::size_t>(k - 1)]);
            spans[static_cast<std::size_t>(k - 1)] = s;
            for (int p = s.lo; p <= s.hi; ++p) {
                ++start[static_cast<std::size_t>(p) + 1];
            }
        }
        for (int p = 0; p < axis.size; ++p) {
            start[static_cast<std::size_t>(p) + 1] += start[static_cast<std::size_t>(p)];
        }
        cover.resize(static_cast<std::size_t>(start.back()));
        std::vector<int> fill(start.begin(), start.end() - 1);
        // Highest cell first: the one painted last wins.
        for (int k = n; k >= 1; --k) {
            const Span s = spans[static_cast<std::size_t>(k - 1)];
            for (int p = s.lo; p <= s.hi; ++p) {
                cover[static_cast<std::size_t>(fill[static_cast<std::size_t>(p)]++)] = k;
            }
        }
    };
    build(ax_, xs, col_spans_, cover_col_start_, cover_cols_);
    build(ay_, ys, row_spans_, cover_row_start_, cover_rows_);
}

void ImageDrawingBox::repaint_cell_pixels(std::uint32_t* bits, int i, int j,
                                          std::span<const std::int16_t> indices) {
    const Span cs = col_spans_[static_cast<std::size_t>(i - 1)];
    const Span rs = row_spans_[static_cast<std::size_t>(j - 1)];
    if (cs.lo > cs.hi || rs.lo > rs.hi) {
        return;
    }
    const std::size_t ny = cell_ys_.size() - 1;
    const auto colours = static_cast<int>(pixels_of_.size());
    for (int r = rs.lo; r <= rs.hi; ++r) {
        std::uint32_t* row = bits + stride_ * r;
        const int* rows_begin = cover_rows_.data() + cover_row_start_[static_cast<std::size_t>(r)];
        const int* rows_end =
            cover_rows_.data() + cover_row_start_[static_cast<std::size_t>(r) + 1];
        for (int c = cs.lo; c <= cs.hi; ++c) {
            const int* cols_begin =
                cover_cols_.data() + cover_col_start_[static_cast<std::size_t>(c)];
            const int* cols_end =
                cover_cols_.data() + cover_col_start_[static_cast<std::size_t>(c) + 1];
            // The last painted of the cells covering the pixel decides; a
            // pixel has an opaque alpha, so 0 means none does.
            std::uint32_t pixel = 0;
            for (const int* ci = cols_begin; ci != cols_end && pixel == 0; ++ci) {
                const std::size_t base = static_cast<std::size_t>(*ci - 1) * ny;
                for (const int* ri = rows_begin; ri != rows_end; ++ri) {
                    const std::int16_t index = indices[base + static_cast<std::size_t>(*ri - 1)];
                    if (index > 0 && index < colours) {
                        pixel = pixels_of_[static_cast<std::size_t>(index)];
                        break;
                    }
                }
            }
            if (pixel != 0) {
                row[c] = pixel;
            }
        }
    }
}

void ImageDrawingBox::fill_cells(std::span<const float> xs, std::span<const float> ys,
                                 std::span<const std::int16_t> indices,
                                 std::span<const Colour> colours) {
    if (xs.size() < 2 || ys.size() < 2) {
        return;
    }
    const std::size_t nx = xs.size() - 1;
    const std::size_t ny = ys.size() - 1;
    assert(indices.size() == nx * ny);
    if (indices.size() != nx * ny) {
        return;
    }

    std::vector<std::uint32_t>& table = next_pixels_of_;
    table.resize(colours.size());
    std::transform(colours.begin(), colours.end(), table.begin(), pixel_of);

    // Compared bit by bit, so that an edge that is not a number still counts
    // as the same edge.
    const bool same_grid = cells_mapping_stamp_ == mapping_stamp_ && cell_xs_.size() == xs.size() &&
                           cell_ys_.size() == ys.size() &&
                           std::memcmp(cell_xs_.data(), xs.data(), xs.size_bytes()) == 0 &&
                           std::memcmp(cell_ys_.data(), ys.data(), ys.size_bytes()) == 0;
    if (!same_grid) {
        build_cell_geometry(xs, ys);
    }

    bool incremental = false;
    if (cells_state_ == CellsState::Cleared) {
        last_indices_.assign(indices.size(), 0);
        incremental = true;
    } else if (cells_state_ == CellsState::Painted) {
        incremental = same_grid && table == pixels_of_ && last_indices_.size() == indices.size();
    }
    pixels_of_.swap(table);
    const auto n_colours = static_cast<int>(pixels_of_.size());

    bool wrote = false;
    std::uint32_t* const bits = pixels();
    if (incremental) {
        for (std::size_t i = 1; i <= nx; ++i) {
            const std::int16_t* now = indices.data() + (i - 1) * ny;
            const std::int16_t* before = last_indices_.data() + (i - 1) * ny;
            if (std::memcmp(now, before, ny * sizeof(std::int16_t)) == 0) {
                continue;
            }
            for (std::size_t j = 1; j <= ny; ++j) {
                const std::int16_t a = now[j - 1];
                const std::int16_t b = before[j - 1];
                if (a != b && (a > 0 || b > 0)) {
                    repaint_cell_pixels(bits, static_cast<int>(i), static_cast<int>(j), indices);
                    wrote = true;
                }
            }
        }
    } else {
        for (std::size_t i = 1; i <= nx; ++i) {
            const Span cs = col_spans_[i - 1];
            for (std::size_t j = 1; j <= ny; ++j) {
                const std::int16_t index = indices[(i - 1) * ny + (j - 1)];
                if (index > 0 && index < n_colours) {
                    fill_span(bits, cs, row_spans_[j - 1],
                              pixels_of_[static_cast<std::size_t>(index)]);
                    wrote = true;
                }
            }
        }
    }
    last_indices_.assign(indices.begin(), indices.end());
    cells_state_ = CellsState::Painted;
    if (wrote) {
        touched();
    }
}

}  // namespace heatplate
