#include "raster/grid_painter.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "raster/cell_compare.h"

namespace heatplate {
namespace {

bool painted(Colour colour) {
    return colour != kNoColour;
}

// The pixel a cell of this colour paints, or 0 (no pixel: pixels are
// opaque) for a cell left out.
std::uint32_t pixel_or_none(Colour colour) {
    return painted(colour) ? pixel_of(colour) : 0;
}

// Copies n colours from `now` to `into`, and tells whether no cell painted
// in `before` is left out in `now`. On the widest vectors the processor has,
// chosen at load time.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
bool copy_unless_left_out(const Colour* before, const Colour* now, Colour* into, std::size_t n) {
    int left_out_again = 0;
    for (std::size_t k = 0; k < n; ++k) {
        left_out_again |=
            static_cast<int>(before[k] != kNoColour) & static_cast<int>(now[k] == kNoColour);
        into[k] = now[k];
    }
    return left_out_again == 0;
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
                             std::size_t stride, AxisCells& out) {
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
    out.first.assign(static_cast<std::size_t>(axis.size), 0);
    out.own.assign(static_cast<std::size_t>(n), PixelSpan{});
    std::vector<int> owned(static_cast<std::size_t>(n), 0);
    out.plain = true;
    for (std::size_t p = 0; p < out.first.size(); ++p) {
        const auto begin = static_cast<std::size_t>(out.start[p]);
        const auto end = static_cast<std::size_t>(out.start[p + 1]);
        if (begin == end) {
            continue;
        }
        const int k = out.cover[begin];
        out.first[p] = static_cast<std::size_t>(k - 1) * stride;
        PixelSpan& own = out.own[static_cast<std::size_t>(k - 1)];
        own = own.empty() ? PixelSpan{static_cast<int>(p), static_cast<int>(p)}
                          : PixelSpan{std::min(own.lo, static_cast<int>(p)),
                                      std::max(own.hi, static_cast<int>(p))};
        ++owned[static_cast<std::size_t>(k - 1)];
        out.plain =
            out.plain && (end - begin == 1 || (end - begin == 2 && out.cover[begin + 1] == k - 1));
    }
    for (int k = 1; k <= n; ++k) {
        const PixelSpan own = out.own[static_cast<std::size_t>(k - 1)];
        out.plain = out.plain && (own.empty() ? 0 : own.hi - own.lo + 1) ==
                                     owned[static_cast<std::size_t>(k - 1)];
    }
}

void GridPainter::build_geometry(const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                                 const CellGrid& grid) {
    ax_ = ax;
    ay_ = ay;
    mapped_ = mapped;
    xs_.assign(grid.xs.begin(), grid.xs.end());
    ys_.assign(grid.ys.begin(), grid.ys.end());
    build_axis(ax, mapped, grid.xs, grid.ys.size() - 1, cols_);
    build_axis(ay, mapped, grid.ys, 1, rows_);
    have_geometry_ = true;
}

// The pixel (c, r) as the cells covering it leave it: the pixel of the last
// painted of them, or 0 when none is painted.
std::uint32_t GridPainter::covered_pixel(int c, int r) const {
    const std::size_t ny = ys_.size() - 1;
    const int* rows_begin = rows_.cover.data() + rows_.start[static_cast<std::size_t>(r)];
    const int* rows_end = rows_.cover.data() + rows_.start[static_cast<std::size_t>(r) + 1];
    const int* cols_begin = cols_.cover.data() + cols_.start[static_cast<std::size_t>(c)];
    const int* cols_end = cols_.cover.data() + cols_.start[static_cast<std::size_t>(c) + 1];
    for (const int* ci = cols_begin; ci != cols_end; ++ci) {
        const std::size_t base = static_cast<std::size_t>(*ci - 1) * ny;
        for (const int* ri = rows_begin; ri != rows_end; ++ri) {
            if (const std::uint32_t pixel = pixels_[base + static_cast<std::size_t>(*ri - 1)]) {
                return pixel;
            }
        }
    }
    return 0;
}

// Where both axes are plain, a cell's pixels are its own, which only its
// colour decides while it is painted, and those it shares with the cells
// after it, which show their colours while they are painted. Then a changed
// cell needs only its own pixels painted; otherwise (false) its pixels are
// worked out one by one, once every cell has its new colour.
bool GridPainter::paint_own_pixels(const Canvas& canvas, std::span<const Colour> colours,
                                   std::size_t i, std::size_t j) const {
    const std::size_t ny = ys_.size() - 1;
    const std::size_t k = (i - 1) * ny + (j - 1);
    if (!cols_.plain || !rows_.plain || !painted(colours[k])) {
        return false;
    }
    const PixelSpan own_cols = cols_.own[i - 1];
    const PixelSpan own_rows = rows_.own[j - 1];
    const bool shares_cols = own_cols != cols_.spans[i - 1];
    const bool shares_rows = own_rows != rows_.spans[j - 1];
    // Every pixel the cell shares lies under the cell after it across or the
    // one after it in its column, which come before it: painted, they keep
    // this cell's colour off the pixel.
    if ((shares_cols && !painted(colours[k + ny])) || (shares_rows && !painted(colours[k + 1]))) {
        return false;
    }
    if (!own_cols.empty() && !own_rows.empty()) {
        canvas.fill(own_cols, own_rows, pixel_of(colours[k]));
    }
    return true;
}

void GridPainter::repaint_cell_pixels(const Canvas& canvas, std::size_t i, std::size_t j) const {
    const PixelSpan cs = cols_.spans[i - 1];
    const PixelSpan rs = rows_.spans[j - 1];
    for (int r = rs.lo; r <= rs.hi; ++r) {
        std::uint32_t* row = canvas.row(r);
        const std::size_t row_first = rows_.first[static_cast<std::size_t>(r)];
        for (int c = cs.lo; c <= cs.hi; ++c) {
            // Nearly always the cell painted last over the pixel is painted
            // itself and decides; only otherwise are the others looked at.
            std::uint32_t pixel = pixels_[cols_.first[static_cast<std::size_t>(c)] + row_first];
            if (pixel == 0) {
                pixel = covered_pixel(c, r);
            }
            if (pixel != 0) {
                row[c] = pixel;
            }
        }
    }
}

bool GridPainter::paint_all(const Canvas& canvas, std::span<const Colour> colours) {
    const std::size_t nx = xs_.size() - 1;
    const std::size_t ny = ys_.size() - 1;
    bool wrote = false;
    for (std::size_t i = 1; i <= nx; ++i) {
        const PixelSpan cs = cols_.spans[i - 1];
        for (std::size_t j = 1; j <= ny; ++j) {
            const std::size_t k = (i - 1) * ny + (j - 1);
            last_[k] = colours[k];
            pixels_[k] = pixel_or_none(colours[k]);
            const PixelSpan rs = rows_.spans[j - 1];
            if (pixels_[k] != 0 && !cs.empty() && !rs.empty()) {
                canvas.fill(cs, rs, pixels_[k]);
                wrote = true;
            }
        }
    }
    return wrote;
}

bool GridPainter::paint_changes(const Canvas& canvas, std::span<const Colour> colours) {
    changed_.clear();
    // Nearly all cells keep their colour: they are compared a block at a time.
    const std::size_t cells = colours.size();
    std::size_t k = 0;
    for (; k + kCompareBlock <= cells; k += kCompareBlock) {
        for (std::uint64_t bits = differing_cells(colours.data() + k, last_.data() + k); bits != 0;
             bits &= bits - 1) {
            changed_.push_back(k + static_cast<std::size_t>(std::countr_zero(bits)));
        }
    }
    for (; k < cells; ++k) {
        if (colours[k] != last_[k]) {
            changed_.push_back(k);
        }
    }
    for (const std::size_t c : changed_) {
        last_[c] = colours[c];
        pixels_[c] = pixel_or_none(colours[c]);
    }
    // Where many cells changed, as when a picture looked at now and then
    // catches up with many steps, going over every pixel once is quicker
    // than cell after cell.
    if (changed_.size() * 4 > cells) {
        return repaint_every_pixel(canvas);
    }
    return repaint_changed_cells(canvas, colours);
}

// The changed cells (changed_, in order), their own pixels where that is all
// they can alter, the rest pixel by pixel once every cell has its colour.
bool GridPainter::repaint_changed_cells(const Canvas& canvas, std::span<const Colour> colours) {
    const std::size_t ny = ys_.size() - 1;
    bool wrote = false;
    std::size_t i = 1;
    std::size_t column_start = 0;
    std::size_t left = 0;  // changed_ keeps those worked out pixel by pixel
    for (const std::size_t k : changed_) {
        // The cells follow each other column after column without a gap.
        while (k >= column_start + ny) {
            ++i;
            column_start += ny;
        }
        const std::size_t j = k - column_start + 1;
        if (cols_.spans[i - 1].empty() || rows_.spans[j - 1].empty()) {
            continue;
        }
        wrote = true;
        if (!paint_own_pixels(canvas, colours, i, j)) {
            changed_[left++] = k;
        }
    }
    for (std::size_t n = 0; n < left; ++n) {
        repaint_cell_pixels(canvas, changed_[n] / ny + 1, changed_[n] % ny + 1);
    }
    return wrote;
}

bool GridPainter::repaint_every_pixel(const Canvas& canvas) const {
    bool wrote = false;
    for (int r = 0; r < static_cast<int>(rows_.first.size()); ++r) {
        const auto rr = static_cast<std::size_t>(r);
        if (rows_.start[rr] == rows_.start[rr + 1]) {
            continue;  // no cell over the row
        }
        std::uint32_t* row = canvas.row(r);
        for (int c = 0; c < static_cast<int>(cols_.first.size()); ++c) {
            const auto cc = static_cast<std::size_t>(c);
            if (cols_.start[cc] == cols_.start[cc + 1]) {
                continue;
            }
            std::uint32_t pixel = pixels_[cols_.first[cc] + rows_.first[rr]];
            if (pixel == 0) {
                pixel = covered_pixel(c, r);
            }
            if (pixel != 0) {
                row[c] = pixel;
                wrote = true;
            }
        }
    }
    return wrote;
}

// Keeps the colours to paint later if the picture they leave does not
// depend on the paint that waits before them (see the class); copied and
// checked in one pass, into a second buffer so that a refusal leaves the
// waiting colours as they are.
bool GridPainter::wait_with(std::span<const Colour> colours) {
    const std::size_t cells = colours.size();
    const Colour* before = nullptr;
    if (waiting_) {
        before = waiting_colours_.data();  // the same grid, so as many cells
    } else if (state_ == State::Painted && last_.size() == cells) {
        before = last_.data();
    } else if (state_ != State::Cleared) {
        return false;
    }
    if (before == nullptr) {
        // Cleared: every cell counts as left out so far.
        waiting_colours_.assign(colours.begin(), colours.end());
        waiting_ = true;
        return true;
    }
    next_colours_.resize(cells);
    if (!copy_unless_left_out(before, colours.data(), next_colours_.data(), cells)) {
        return false;
    }
    std::swap(waiting_colours_, next_colours_);
    waiting_ = true;
    return true;
}

bool GridPainter::settle(const Canvas& canvas) {
    if (!waiting_) {
        return false;
    }
    waiting_ = false;
    if (state_ == State::Cleared) {
        last_.assign(waiting_colours_.size(), kNoColour);
        pixels_.assign(waiting_colours_.size(), 0);
        state_ = State::Painted;
    }
    return paint_changes(canvas, waiting_colours_);
}

bool GridPainter::wait(const PixelAxis& ax, const PixelAxis& ay, bool mapped, const CellGrid& grid,
                       std::span<const Colour> colours) {
    return fits(grid, colours) && same_grid(ax, ay, mapped, grid) && wait_with(colours);
}

bool GridPainter::fits(const CellGrid& grid, std::span<const Colour> colours) {
    return grid.xs.size() >= 2 && grid.ys.size() >= 2 &&
           colours.size() == (grid.xs.size() - 1) * (grid.ys.size() - 1);
}

bool GridPainter::paint(const Canvas& canvas, const PixelAxis& ax, const PixelAxis& ay, bool mapped,
                        const CellGrid& grid, std::span<const Colour> colours) {
    // What waits was meant for the pixels before this paint.
    const bool settled = settle(canvas);
    if (!fits(grid, colours)) {
        return settled;
    }
    const std::size_t cells = colours.size();
    const bool same = same_grid(ax, ay, mapped, grid);
    if (!same) {
        build_geometry(ax, ay, mapped, grid);
    }
    bool incremental = false;
    if (state_ == State::Cleared) {
        last_.assign(cells, kNoColour);
        pixels_.assign(cells, 0);
        incremental = true;
    } else if (state_ == State::Painted) {
        incremental = same && last_.size() == cells;
    }
    if (!incremental) {
        last_.resize(cells);
        pixels_.resize(cells);
    }
    const bool wrote = incremental ? paint_changes(canvas, colours) : paint_all(canvas, colours);
    state_ = State::Painted;
    return wrote || settled;
}

}  // namespace heatplate
