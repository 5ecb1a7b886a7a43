#include "desktop/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace heatplate {
namespace {

// Each index's colour, all 256 of them, so that a stray index cannot read
// past the table.
std::array<QRgb, 256> colours_of(const QImage& indexed) {
    std::array<QRgb, 256> out{};
    const QList<QRgb> table = indexed.colorTable();
    std::copy_n(table.begin(), std::min<qsizetype>(table.size(), 256), out.begin());
    for (QRgb& c : out) {
        c |= 0xFF000000u;
    }
    return out;
}

// The smallest rectangle outside which the two pictures (same size, 8-bit)
// show the same colours; empty when they are the same picture.
QRect changed_rect(const QImage& before, const QImage& after) {
    const std::array<QRgb, 256> cb = colours_of(before);
    const std::array<QRgb, 256> ca = colours_of(after);
    // The sizes in locals: QImage's accessors are calls the loops would repeat.
    const int width = after.width();
    const int height = after.height();
    int top = -1, bottom = -1, left = width, right = -1;
    for (int y = 0; y < height; ++y) {
        const uchar* rb = before.constScanLine(y);
        const uchar* ra = after.constScanLine(y);
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x) {
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
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The colours that occur inside the rectangle, as a colour table of their
// own, and each frame index's place in it. The fewer the colours, the
// shorter the codes the encoder starts with.
struct LocalColours {
    std::array<int, 256> remap;
    std::vector<GifColorType> table;
};

LocalColours local_colours(const QImage& frame, const QRect& rect) {
    LocalColours local;
    local.remap.fill(-1);
    const std::array<QRgb, 256> colours = colours_of(frame);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const uchar* row = frame.constScanLine(y);
        for (int x = rect.left(); x <= rect.right(); ++x) {
            int& slot = local.remap[row[x]];
            if (slot < 0) {
                slot = static_cast<int>(local.table.size());
                const QRgb c = colours[row[x]];
                local.table.push_back({static_cast<GifByteType>(qRed(c)),
                                       static_cast<GifByteType>(qGreen(c)),
                                       static_cast<GifByteType>(qBlue(c))});
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

}  // namespace

int delay_for_playing_time(std::int64_t frames, int total_ms) {
    // Past this many frames every delay is the shortest anyway.
    const std::int64_t n = std::clamp<std::int64_t>(frames, 1, 1000000000);
    const std::int64_t ms = std::max(total_ms, 0);
    const std::int64_t delay = (ms + 5 * n) / (10 * n);  // hundredths, halves up
    return static_cast<int>(
        std::clamp<std::int64_t>(delay, kGifShortestReliableDelay, kGifMaxDelay));
}

GifWriter::GifWriter(const QString& path) : file_(path.toStdString()) {}

GifWriter::~GifWriter() {
    close_encoder();
    // The file removes a temporary file that was never committed.
}

std::optional<std::string> GifWriter::fail(const QString& reason) {
    close_encoder();
    return file_.fail(reason.toStdString());
}

std::optional<std::string> GifWriter::fail_gif(int error) {
    // A failed write reaches the encoder as its own error code; the file
    // already holds the system's reason, which stays the one reported.
    const char* text = GifErrorString(error);
    return fail(QString::fromUtf8(text != nullptr ? text : "the GIF encoder failed"));
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
    file_.abandon();
}

std::optional<std::string> GifWriter::open() {
    return file_.open();
}

std::optional<std::string> GifWriter::start(QSize size) {
    if (size.width() > 65535 || size.height() > 65535) {
        return fail(QStringLiteral("a GIF is at most 65535 pixels wide and high"));
    }
    int error = 0;
    gif_ = EGifOpen(&file_, write_to_file, &error);
    if (gif_ == nullptr) {
        return fail_gif(error);
    }
    EGifSetGifVersion(gif_, true);  // the delays and the loop need GIF89a
    // No global colour table: every frame brings its own.
    if (EGifPutScreenDesc(gif_, size.width(), size.height(), 8, 0, nullptr) == GIF_ERROR) {
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

std::optional<std::string> GifWriter::put_frame(const QImage& frame, const QRect& rect, int delay) {
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
        return fail(QStringLiteral("out of memory"));
    }
    const int described =
        EGifPutImageDesc(gif_, rect.x(), rect.y(), rect.width(), rect.height(), false, map);
    GifFreeMapObject(map);
    if (described == GIF_ERROR) {
        return fail_gif(gif_->Error);
    }
    // The encoder may rewrite the line it is given, so it gets a copy.
    std::vector<GifPixelType> line(static_cast<std::size_t>(rect.width()));
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const uchar* row = frame.constScanLine(y) + rect.left();
        for (std::size_t x = 0; x < line.size(); ++x) {
            line[x] = static_cast<GifPixelType>(local.remap[row[x]]);
        }
        if (EGifPutLine(gif_, line.data(), rect.width()) == GIF_ERROR) {
            return fail_gif(gif_->Error);
        }
    }
    return std::nullopt;
}

std::optional<std::string> GifWriter::add(const QImage& frame, int delay) {
    if (auto error = open()) {
        return error;
    }
    if (delay < 0 || delay > kGifMaxDelay) {
        return fail(QStringLiteral("a frame delay of %1 hundredths of a second is outside 0 to %2")
                        .arg(delay)
                        .arg(kGifMaxDelay));
    }
    if (frame.isNull()) {
        return fail(QStringLiteral("a frame without pixels"));
    }
    const QImage indexed = exact_indexed8(frame);
    if (indexed.isNull()) {
        return fail(
            QStringLiteral("a frame has more than 256 colours, which a GIF cannot hold "
                           "without changing some"));
    }
    QRect rect = indexed.rect();
    if (frames_ == 0) {
        if (auto error = start(indexed.size())) {
            return error;
        }
    } else if (indexed.size() != previous_.size()) {
        return fail(QStringLiteral("a frame of %1 x %2 pixels in an animation of %3 x %4")
                        .arg(indexed.width())
                        .arg(indexed.height())
                        .arg(previous_.width())
                        .arg(previous_.height()));
    } else {
        rect = changed_rect(previous_, indexed);
        if (rect.isEmpty()) {
            rect = QRect(0, 0, 1, 1);  // the same picture: one pixel, redrawn as it was
        }
    }
    if (auto error = put_frame(indexed, rect, delay)) {
        return error;
    }
    previous_ = indexed;
    ++frames_;
    return std::nullopt;
}

std::optional<std::string> GifWriter::end() {
    if (auto error = open()) {
        return error;
    }
    if (frames_ == 0) {
        return fail(QStringLiteral("an animation needs at least one frame"));
    }
    close_encoder();
    return file_.error();
}

std::optional<std::string> GifWriter::commit() {
    if (auto error = end()) {
        return error;
    }
    return file_.commit();
}

std::optional<std::string> save_gif(const QString& path, std::span<const GifFrame> frames) {
    GifWriter writer(path);
    for (const GifFrame& frame : frames) {
        if (auto error = writer.add(frame.image, frame.delay)) {
            return error;
        }
    }
    return writer.commit();
}

}  // namespace heatplate
