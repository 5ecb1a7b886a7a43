#include "platform/grid_painter.h"

#include <cmath>
#include <cstring>

namespace heatplate {
namespace {

bool painted(Colour colour) {
    return colour != kNoColour;
}

// Compared bit by bit, so that an edge that is not a number still counts as
// the same edge.
bool same_edges(const std::vector<float>& kept, std::span<const float> edges) {
    return kept.size() == edges.size() &&
           std::memcmp(kept.data(), edges.data(), edges.size_bytes()) == 0;
}

}  // namespace

bool GridPainter::same_grid(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                            const CellGrid& grid) const {
    return have_geometry_ && mapped == mapped_ && ax == ax_ && ay == ay_ &&
           same_edges(xs_, grid.xs) && same_edges(ys_, grid.ys);
}

void GridPainter::build_axis(const PixelAxis& axis, bool mapped, std::span<const float> edges,
                             AxisCells& out) {
    const int n = static_cast<int>(edges.size()) - 1;
    out.spans.assign(static_cast<std::size_t>(n), PixelSpan{});
    out.start.assign(static_cast<std::size_t>(axis.size) + 1, 0);
    for (int k = 1; k <= n; ++k) {
        const float a = edges[static_cast<std::size_t>(k)];
        const float b = edges[static_cast<std::size_t>(k - 1)];
        if (!mapped || !std::isfinite(a) || !std::isfinite(b)) {
            continue;
        }
        const PixelSpan s = axis.span(a, b);
        out.spans[static_cast<std::size_t>(k - 1)] = s;
        for (int p = s.lo; p <= s.hi; ++p) {
            ++out.start[static_cast<std::size_t>(p) + 1];
        }
    }
    for (int p = 0; p < axis.size; ++p) {
        out.start[static_cast<std::size_t>(p) + 1] += out.start[static_cast<std::size_t>(p)];
    }
    out.cover.resize(static_cast<std::size_t>(out.start.back()));
    std::vector<int> fill(out.start.begin(), out.start.end() - 1);
    // Highest cell first: the one painted last wins.
    for (int k = n; k >= 1; --k) {
        const PixelSpan s = out.spans[static_cast<std::size_t>(k - 1)];
        for (int p = s.lo; p <= s.hi; ++p) {
            out.cover[static_cast<std::size_t>(fill[static_cast<std::size_t>(p)]++)] = k;
        }
    }
}

void GridPainter::build_geometry(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                                 const CellGrid& grid) {
    ax_ = ax;
    ay_ = ay;
    mapped_ = mapped;
    xs_.assign(grid.xs.begin(), grid.xs.end());
    ys_.assign(grid.ys.begin(), grid.ys.end());
    build_axis(ax, mapped, grid.xs, cols_);
    build_axis(ay, mapped, grid.ys, rows_);
    have_geometry_ = true;
}

void GridPainter::repaint_cell_pixels(const Canvas& canvas, int i, int j,
                                      std::span<const Colour> colours) const {
    const PixelSpan cs = cols_.spans[static_cast<std::size_t>(i - 1)];
    const PixelSpan rs = rows_.spans[static_cast<std::size_t>(j - 1)];
    const std::size_t ny = ys_.size() - 1;
    for (int r = rs.lo; r <= rs.hi; ++r) {
        std::uint32_t* row = canvas.row(r);
        const int* rows_begin = rows_.cover.data() + rows_.start[static_cast<std::size_t>(r)];
        const int* rows_end = rows_.cover.data() + rows_.start[static_cast<std::size_t>(r) + 1];
        for (int c = cs.lo; c <= cs.hi; ++c) {
            const int* cols_begin = cols_.cover.data() + cols_.start[static_cast<std::size_t>(c)];
            const int* cols_end = cols_.cover.data() + cols_.start[static_cast<std::size_t>(c) + 1];
            // The last painted of the cells covering the pixel decides; a
            // pixel has an opaque alpha, so 0 means none does.
            std::uint32_t pixel = 0;
            for (const int* ci = cols_begin; ci != cols_end && pixel == 0; ++ci) {
                const std::size_t base = static_cast<std::size_t>(*ci - 1) * ny;
                for (const int* ri = rows_begin; ri != rows_end; ++ri) {
                    const Colour colour = colours[base + static_cast<std::size_t>(*ri - 1)];
                    if (painted(colour)) {
                        pixel = pixel_of(colour);
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

bool GridPainter::paint_all(const Canvas& canvas, std::span<const Colour> colours) const {
    const std::size_t nx = xs_.size() - 1;
    const std::size_t ny = ys_.size() - 1;
    bool wrote = false;
    for (std::size_t i = 1; i <= nx; ++i) {
        const PixelSpan cs = cols_.spans[i - 1];
        for (std::size_t j = 1; j <= ny; ++j) {
            const Colour colour = colours[(i - 1) * ny + (j - 1)];
            const PixelSpan rs = rows_.spans[j - 1];
            if (painted(colour) && !cs.empty() && !rs.empty()) {
                canvas.fill(cs, rs, pixel_of(colour));
                wrote = true;
            }
        }
    }
    return wrote;
}

bool GridPainter::paint_changes(const Canvas& canvas, std::span<const Colour> colours) const {
    const std::size_t nx = xs_.size() - 1;
    const std::size_t ny = ys_.size() - 1;
    bool wrote = false;
    for (std::size_t i = 1; i <= nx; ++i) {
        const Colour* now = colours.data() + (i - 1) * ny;
        const Colour* before = last_.data() + (i - 1) * ny;
        if (std::memcmp(now, before, ny * sizeof(Colour)) == 0) {
            continue;
        }
        for (std::size_t j = 1; j <= ny; ++j) {
            if (now[j - 1] != before[j - 1] && !cols_.spans[i - 1].empty() &&
                !rows_.spans[j - 1].empty()) {
                repaint_cell_pixels(canvas, static_cast<int>(i), static_cast<int>(j), colours);
                wrote = true;
            }
        }
    }
    return wrote;
}

bool GridPainter::paint(const Canvas& canvas, const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                        const CellGrid& grid, std::span<const Colour> colours) {
    if (grid.xs.size() < 2 || grid.ys.size() < 2) {
        return false;
    }
    const std::size_t cells = (grid.xs.size() - 1) * (grid.ys.size() - 1);
    if (colours.size() != cells) {
        return false;
    }
    const bool same = same_grid(ax, ay, mapped, grid);
    if (!same) {
        build_geometry(ax, ay, mapped, grid);
    }
    bool incremental = false;
    if (state_ == State::Cleared) {
        last_.assign(cells, kNoColour);
        incremental = true;
    } else if (state_ == State::Painted) {
        incremental = same && last_.size() == cells;
    }
    const bool wrote = incremental ? paint_changes(canvas, colours) : paint_all(canvas, colours);
    last_.assign(colours.begin(), colours.end());
    state_ = State::Painted;
    return wrote;
}

}  // namespace heatplate
