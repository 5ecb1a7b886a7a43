#include "web/frame_bytes.h"

#include <cstdint>
#include <cstring>

namespace heatplate {
namespace {

void put(std::string& bytes, std::uint32_t value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads the bytes in order; once one is missing, every read fails.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool done() const { return rest_.empty(); }
    bool ok() const { return ok_; }

    std::uint32_t number() {
        std::uint32_t value = 0;
        take(&value, sizeof value);
        return value;
    }
    void take(void* out, std::size_t size) {
        if (!ok_ || rest_.size() < size) {
            ok_ = false;
            return;
        }
        std::memcpy(out, rest_.data(), size);
        rest_.remove_prefix(size);
    }

  private:
    std::string_view rest_;
    bool ok_ = true;
};

bool read_picture(Reader& in, IndexedImage& image) {
    image.width = static_cast<int>(in.number());
    image.height = static_cast<int>(in.number());
    const std::uint32_t colours = in.number();
    if (!in.ok() || colours > 256 || image.width > 65535 || image.height > 65535) {
        return false;
    }
    image.colours.resize(colours);
    in.take(image.colours.data(), colours * sizeof(std::uint32_t));
    image.indices.resize(static_cast<std::size_t>(image.width) * image.height);
    in.take(image.indices.data(), image.indices.size());
    return in.ok();
}

}  // namespace

void append_frames(std::string& bytes, const PictureFrames& frames, int delay) {
    put(bytes, static_cast<std::uint32_t>(delay));
    for (const IndexedImage& image : frames) {
        put(bytes, static_cast<std::uint32_t>(image.width));
        put(bytes, static_cast<std::uint32_t>(image.height));
        put(bytes, static_cast<std::uint32_t>(image.colours.size()));
        bytes.append(reinterpret_cast<const char*>(image.colours.data()),
                     image.colours.size() * sizeof(std::uint32_t));
        bytes.append(reinterpret_cast<const char*>(image.indices.data()), image.indices.size());
    }
}

std::optional<std::vector<TimedFrames>> read_frames(std::string_view bytes) {
    std::vector<TimedFrames> out;
    Reader in(bytes);
    while (!in.done()) {
        TimedFrames& timed = out.emplace_back();
        timed.delay = static_cast<int>(in.number());
        for (IndexedImage& image : timed.frames) {
            if (!read_picture(in, image)) {
                return std::nullopt;
            }
        }
    }
    return out;
}

}  // namespace heatplate
