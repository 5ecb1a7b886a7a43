#include "raster/drawing_box.h"

#include <cmath>

namespace heatplate {

bool DrawingBox::move_to(float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return false;
    }
    current_x_ = x;
    current_y_ = y;
    return true;
}

void DrawingBox::line_to(float x, float y, Colour colour) {
    const float from_x = current_x_;
    const float from_y = current_y_;
    if (move_to(x, y)) {
        line(from_x, from_y, x, y, colour);
    }
}

void DrawingBox::fill_cells(const CellGrid& grid, std::span<const Colour> colours) {
    if (grid.xs.size() < 2 || grid.ys.size() < 2) {
        return;
    }
    const std::size_t nx = grid.xs.size() - 1;
    const std::size_t ny = grid.ys.size() - 1;
    if (colours.size() != nx * ny) {
        return;
    }
    for (std::size_t i = 1; i <= nx; ++i) {
        for (std::size_t j = 1; j <= ny; ++j) {
            const Colour colour = colours[(i - 1) * ny + (j - 1)];
            const float x1 = grid.xs[i];
            const float y1 = grid.ys[j];
            const float x2 = grid.xs[i - 1];
            const float y2 = grid.ys[j - 1];
            if (colour == kNoColour || !std::isfinite(x1) || !std::isfinite(y1) ||
                !std::isfinite(x2) || !std::isfinite(y2)) {
                continue;
            }
            fill_rect(x1, y1, x2, y2, colour);
        }
    }
}

}  // namespace heatplate
