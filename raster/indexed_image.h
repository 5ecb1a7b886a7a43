#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "raster/raster.h"

namespace heatplate {

// A picture of at most 256 colours with one byte per pixel: what a GIF
// frame holds, and a quarter of the memory of the picture itself.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;   // row after row from the top
    std::vector<std::uint32_t> colours;  // 0xFFRRGGBB of each index in use

    std::uint32_t pixel(int x, int y) const {
        return colours[indices[static_cast<std::size_t>(y) * width + x]];
    }
    std::size_t bytes() const { return indices.size() + colours.size() * sizeof(std::uint32_t); }
    bool operator==(const IndexedImage&) const = default;
};

// An exact copy of the picture with its own colours in the table, in the
// order they first appear row by row; nothing when it has more than 256
// colours. Nothing is dithered or rounded: every pixel keeps its colour.
std::optional<IndexedImage> exact_indexed8(const RasterImage& image);

}  // namespace heatplate
