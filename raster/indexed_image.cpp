#include "raster/indexed_image.h"

#include <array>
#include <cstdint>
#include <utility>

namespace heatplate {
namespace {

// The colours of a picture as they turn up, each with its index: a small
// open-addressed table, since a picture has at most 256 and most pixels
// repeat the colour of the pixel before.
class ColourIndex {
  public:
    // The colour's index, or -1 when it would be the 257th.
    int of(std::uint32_t pixel) {
        // Opaque whatever the source said, so that no key is 0, the empty slot.
        const std::uint32_t key = pixel | 0xFF000000u;
        if (key == last_key_) {
            return last_index_;
        }
        std::uint32_t slot = (key * 2654435761u) >> (32 - kBits);
        while (keys_[slot] != 0 && keys_[slot] != key) {
            slot = (slot + 1) & (kSlots - 1);
        }
        if (keys_[slot] == 0) {
            if (table_.size() == 256) {
                return -1;
            }
            keys_[slot] = key;
            indices_[slot] = static_cast<std::uint8_t>(table_.size());
            table_.push_back(key);
        }
        last_key_ = key;
        last_index_ = indices_[slot];
        return last_index_;
    }

    std::vector<std::uint32_t>& table() { return table_; }

  private:
    static constexpr int kBits = 10;  // a quarter full at most
    static constexpr std::uint32_t kSlots = 1u << kBits;
    std::array<std::uint32_t, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> indices_{};
    std::vector<std::uint32_t> table_;
    std::uint32_t last_key_ = 0;
    int last_index_ = 0;
};

}  // namespace

std::optional<IndexedImage> exact_indexed8(const RasterImage& image) {
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.indices.resize(image.pixels.size());
    ColourIndex index;
    for (std::size_t k = 0; k < image.pixels.size(); ++k) {
        const int i = index.of(image.pixels[k]);
        if (i < 0) {
            return std::nullopt;
        }
        out.indices[k] = static_cast<std::uint8_t>(i);
    }
    out.colours = std::move(index.table());
    return out;
}

}  // namespace heatplate
