#include "web/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "run/frame_plan.h"

namespace heatplate {
namespace {

// Each index's colour, all 256, so that a stray index cannot read past the
// table.
std::array<std::uint32_t, 256> colours_of(const IndexedImage& image) {
    std::array<std::uint32_t, 256> out{};
    std::copy_n(image.colours.begin(), std::min<std::size_t>(image.colours.size(), 256),
                out.begin());
    for (std::uint32_t& c : out) {
        c |= 0xFF000000u;
    }
    return out;
}

const std::uint8_t* row_of(const IndexedImage& image, int y) {
    return image.indices.data() + static_cast<std::size_t>(y) * image.width;
}

// The smallest rectangle holding every pixel whose colour changed; one
// pixel, drawn again as it was, when none did.
template <typename Rect>
Rect changed_rect(const IndexedImage& before, const IndexedImage& after) {
    const std::array<std::uint32_t, 256> cb = colours_of(before);
    const std::array<std::uint32_t, 256> ca = colours_of(after);
    int top = -1, bottom = -1, left = after.width, right = -1;
    for (int y = 0; y < after.height; ++y) {
        const std::uint8_t* rb = row_of(before, y);
        const std::uint8_t* ra = row_of(after, y);
        for (int x = 0; x < after.width; ++x) {
            if (cb[rb[x]] != ca[ra[x]]) {
                top = top < 0 ? y : top;
                bottom = y;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    if (top < 0) {
        return {0, 0, 1, 1};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

// The colours inside the rectangle in the order they first occur, padded to
// a power of two from 2 to 256, and each frame index's place among them:
// the fewer the colours, the shorter the codes the encoder starts with.
struct LocalColours {
    std::array<int, 256> remap;
    std::vector<GifColorType> table;
};

template <typename Rect>
LocalColours local_colours(const IndexedImage& frame, const Rect& rect) {
    LocalColours local;
    local.remap.fill(-1);
    const std::array<std::uint32_t, 256> colours = colours_of(frame);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const std::uint8_t* row = row_of(frame, y);
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            int& slot = local.remap[row[x]];
            if (slot < 0) {
                slot = static_cast<int>(local.table.size());
                const std::uint32_t c = colours[row[x]];
                local.table.push_back({static_cast<GifByteType>(c >> 16),
                                       static_cast<GifByteType>(c >> 8),
                                       static_cast<GifByteType>(c)});
            }
        }
    }
    std::size_t size = 2;
    while (size < local.table.size()) {
        size *= 2;
    }
    local.table.resize(size, GifColorType{0, 0, 0});
    return local;
}

std::string reason_of(int error) {
    const char* text = GifErrorString(error);
    return text != nullptr ? text : "the GIF encoder failed";
}

int append(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    return count;
}

}  // namespace

GifAnimation::~GifAnimation() {
    close();
}

void GifAnimation::close() {
    if (gif_ != nullptr) {
        int error = 0;
        EGifCloseFile(gif_, &error);  // writes the trailer and frees the encoder
        gif_ = nullptr;
    }
}

std::optional<std::string> GifAnimation::fail(const std::string& reason) {
    close();
    bytes_.clear();
    if (!error_) {
        error_ = "Could not record the animation: " + reason;
    }
    return error_;
}

std::optional<std::string> GifAnimation::start(int width, int height) {
    int error = 0;
    gif_ = EGifOpen(&bytes_, append, &error);
    if (gif_ == nullptr) {
        return fail(reason_of(error));
    }
    EGifSetGifVersion(gif_, true);  // the delays and the loop need GIF89a
    // No global colour table: every frame brings its own. The application
    // extension makes viewers play the frames for ever.
    static const char kNetscape[] = "NETSCAPE2.0";
    const GifByteType loop[] = {1, 0, 0};
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_ERROR ||
        EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 11, kNetscape) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 3, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR) {
        return fail(reason_of(gif_->Error));
    }
    return std::nullopt;
}

std::optional<std::string> GifAnimation::put_frame(const IndexedImage& frame, const Rect& rect,
                                                   int delay) {
    const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const auto length = static_cast<int>(EGifGCBToExtension(&control, extension));
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, length, extension) == GIF_ERROR) {
        return fail(reason_of(gif_->Error));
    }
    LocalColours local = local_colours(frame, rect);
    ColorMapObject* map =
        GifMakeMapObject(static_cast<int>(local.table.size()), local.table.data());
    if (map == nullptr) {
        return fail("out of memory");
    }
    const int described =
        EGifPutImageDesc(gif_, rect.x, rect.y, rect.width, rect.height, false, map);
    GifFreeMapObject(map);
    if (described == GIF_ERROR) {
        return fail(reason_of(gif_->Error));
    }
    // The encoder may rewrite the line it is given, so it gets a copy.
    std::vector<GifPixelType> line(static_cast<std::size_t>(rect.width));
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const std::uint8_t* row = row_of(frame, y) + rect.x;
        for (std::size_t x = 0; x < line.size(); ++x) {
            line[x] = static_cast<GifPixelType>(local.remap[row[x]]);
        }
        if (EGifPutLine(gif_, line.data(), rect.width) == GIF_ERROR) {
            return fail(reason_of(gif_->Error));
        }
    }
    return std::nullopt;
}

std::optional<std::string> GifAnimation::add(const IndexedImage& frame, int delay) {
    if (error_) {
        return error_;
    }
    if (delay < 0 || delay > kGifMaxDelay || frame.width <= 0 || frame.height <= 0 ||
        frame.width > 65535 || frame.height > 65535 || frame.colours.empty()) {
        return fail("a frame without pixels or with a delay a GIF cannot hold");
    }
    Rect rect{0, 0, frame.width, frame.height};
    if (frames_ == 0) {
        if (auto error = start(frame.width, frame.height)) {
            return error;
        }
    } else if (frame.width != previous_.width || frame.height != previous_.height) {
        return fail("a frame of another size");
    } else {
        rect = changed_rect<Rect>(previous_, frame);
    }
    if (auto error = put_frame(frame, rect, delay)) {
        return error;
    }
    previous_ = frame;
    ++frames_;
    return std::nullopt;
}

std::optional<std::string> GifAnimation::end() {
    if (!error_ && frames_ == 0) {
        return fail("an animation needs at least one frame");
    }
    close();
    return error_;
}

}  // namespace heatplate
