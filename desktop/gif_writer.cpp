#include "desktop/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace heatplate {
namespace {

// Each index's colour, all 256 of them, so that a stray index cannot read
// past the table.
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

// The colours that occur inside the rectangle, as a colour table of their
// own, and each frame index's place in it. The fewer the colours, the
// shorter the codes the encoder starts with.
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
    // A GIF colour table has 2, 4, ... 256 entries.
    std::size_t size = 2;
    while (size < local.table.size()) {
        size *= 2;
    }
    local.table.resize(size, GifColorType{0, 0, 0});
    return local;
}

int write_to_file(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* file = static_cast<AtomicFile*>(gif->UserData);
    const std::string_view chunk(reinterpret_cast<const char*>(bytes),
                                 static_cast<std::size_t>(count));
    return file->write(chunk) ? 0 : count;
}

int write_to_memory(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    return count;
}

}  // namespace

GifWriter::GifWriter(std::string path) : file_(std::make_unique<AtomicFile>(std::move(path))) {}

GifWriter::GifWriter() = default;

GifWriter::~GifWriter() {
    close_encoder();
    // The file removes a temporary file that was never committed.
}

std::optional<std::string> GifWriter::fail(std::string_view reason) {
    close_encoder();
    if (file_) {
        return file_->fail(reason);
    }
    if (!error_) {
        error_ = "Could not record the animation: " + std::string(reason);
    }
    memory_.clear();
    return error_;
}

std::optional<std::string> GifWriter::fail_gif(int error) {
    // A failed write reaches the encoder as its own error code; the file
    // already holds the system's reason, which stays the one reported.
    const char* text = GifErrorString(error);
    return fail(text != nullptr ? text : "the GIF encoder failed");
}

void GifWriter::close_encoder() {
    if (gif_ != nullptr) {
        int error = 0;
        EGifCloseFile(gif_, &error);  // writes the trailer and frees the encoder
        gif_ = nullptr;
    }
}

void GifWriter::cancel() {
    close_encoder();
    if (file_) {
        file_->abandon();
    }
    memory_.clear();
}

std::optional<std::string> GifWriter::open() {
    return file_ ? file_->open() : error_;
}

std::optional<std::string> GifWriter::start(int width, int height) {
    if (width > 65535 || height > 65535) {
        return fail("a GIF is at most 65535 pixels wide and high");
    }
    int error = 0;
    gif_ = file_ ? EGifOpen(file_.get(), write_to_file, &error)
                 : EGifOpen(&memory_, write_to_memory, &error);
    if (gif_ == nullptr) {
        return fail_gif(error);
    }
    EGifSetGifVersion(gif_, true);  // the delays and the loop need GIF89a
    // No global colour table: every frame brings its own.
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_ERROR) {
        return fail_gif(gif_->Error);
    }
    // The application extension that makes viewers play the frames in a
    // loop; a loop count of 0 means for ever.
    static const char kNetscape[] = "NETSCAPE2.0";
    const GifByteType loop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 11, kNetscape) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, 3, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR) {
        return fail_gif(gif_->Error);
    }
    return std::nullopt;
}

GifWriter::Rect GifWriter::changed_rect(const IndexedImage& before, const IndexedImage& after) {
    const std::array<std::uint32_t, 256> cb = colours_of(before);
    const std::array<std::uint32_t, 256> ca = colours_of(after);
    int top = -1, bottom = -1, left = after.width, right = -1;
    for (int y = 0; y < after.height; ++y) {
        const std::uint8_t* rb = row_of(before, y);
        const std::uint8_t* ra = row_of(after, y);
        int first = -1, last = -1;
        for (int x = 0; x < after.width; ++x) {
            if (cb[rb[x]] != ca[ra[x]]) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        if (first >= 0) {
            top = top < 0 ? y : top;
            bottom = y;
            left = std::min(left, first);
            right = std::max(right, last);
        }
    }
    if (top < 0) {
        return {0, 0, 1, 1};  // the same picture: one pixel, redrawn as it was
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

std::optional<std::string> GifWriter::put_frame(const IndexedImage& frame, const Rect& rect,
                                                int delay) {
    // Drawn over the frame before, which stays where this one does not cover it.
    const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const auto length = static_cast<int>(EGifGCBToExtension(&control, extension));
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, length, extension) == GIF_ERROR) {
        return fail_gif(gif_->Error);
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
        return fail_gif(gif_->Error);
    }
    // The encoder may rewrite the line it is given, so it gets a copy.
    std::vector<GifPixelType> line(static_cast<std::size_t>(rect.width));
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const std::uint8_t* row = row_of(frame, y) + rect.x;
        for (std::size_t x = 0; x < line.size(); ++x) {
            line[x] = static_cast<GifPixelType>(local.remap[row[x]]);
        }
        if (EGifPutLine(gif_, line.data(), rect.width) == GIF_ERROR) {
            return fail_gif(gif_->Error);
        }
    }
    return std::nullopt;
}

std::optional<std::string> GifWriter::add(const IndexedImage& frame, int delay) {
    if (auto error = open()) {
        return error;
    }
    if (delay < 0 || delay > kGifMaxDelay) {
        return fail("a frame delay of " + std::to_string(delay) +
                    " hundredths of a second is outside 0 to " + std::to_string(kGifMaxDelay));
    }
    if (frame.width <= 0 || frame.height <= 0 || frame.colours.empty() ||
        frame.indices.size() != static_cast<std::size_t>(frame.width) * frame.height) {
        return fail("a frame without pixels");
    }
    Rect rect{0, 0, frame.width, frame.height};
    if (frames_ == 0) {
        if (auto error = start(frame.width, frame.height)) {
            return error;
        }
    } else if (frame.width != previous_.width || frame.height != previous_.height) {
        return fail("a frame of " + std::to_string(frame.width) + " x " +
                    std::to_string(frame.height) + " pixels in an animation of " +
                    std::to_string(previous_.width) + " x " + std::to_string(previous_.height));
    } else {
        rect = changed_rect(previous_, frame);
    }
    if (auto error = put_frame(frame, rect, delay)) {
        return error;
    }
    previous_ = frame;
    ++frames_;
    return std::nullopt;
}

std::optional<std::string> GifWriter::end() {
    if (auto error = open()) {
        return error;
    }
    if (frames_ == 0) {
        return fail("an animation needs at least one frame");
    }
    close_encoder();
    return file_ ? file_->error() : error_;
}

std::optional<std::string> GifWriter::commit() {
    if (auto error = end()) {
        return error;
    }
    return file_ ? file_->commit() : std::nullopt;
}

std::optional<std::string> save_gif(const std::string& path, std::span<const GifFrame> frames) {
    GifWriter writer(path);
    for (const GifFrame& frame : frames) {
        if (auto error = writer.add(frame.image, frame.delay)) {
            return error;
        }
    }
    return writer.commit();
}

}  // namespace heatplate
