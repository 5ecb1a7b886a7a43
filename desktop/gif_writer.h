#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "desktop/atomic_file.h"
#include "raster/indexed_image.h"

struct GifFileType;

namespace heatplate {

// The longest time a GIF frame can stay, in hundredths of a second.
inline constexpr int kGifMaxDelay = 65535;
// Many viewers show a frame meant for less than this many hundredths of a
// second for a tenth of a second instead, so a chosen delay never goes below.
inline constexpr int kGifShortestReliableDelay = 2;

// How long a run's animation plays by default, in the window and from
// heatplate-batch alike.
inline constexpr int kAnimationPlayingTimeMs = 10000;

// The delay, in hundredths of a second, that plays the given number of
// frames in about the given time: rounded to the nearest hundredth, and no
// shorter than kGifShortestReliableDelay nor longer than a GIF can hold.
int delay_for_playing_time(std::int64_t frames, int total_ms);

// One picture of an animation and how long it stays, in hundredths of a
// second (0 to kGifMaxDelay).
struct GifFrame {
    QImage image;
    int delay = 0;
};

// Writes a looping animated GIF frame by frame, so that a long recording
// needs no more memory than one frame. The file appears at its path only
// once commit() succeeds: until then everything goes to a temporary file
// beside it, which a failure or a writer dropped without commit() removes,
// leaving whatever was at the path untouched.
//
// Every frame is exact: its own colours (at most 256) in a colour table of
// its own. A frame is stored as the rectangle in which it differs from the
// frame before, drawn over that one, so a decoder shows exactly the picture
// given while the file stays small.
class GifWriter {
  public:
    explicit GifWriter(const QString& path);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Creates the temporary file. Returns a message naming the file and the
    // reason when it cannot be made (a missing or read-only folder, say).
    std::optional<std::string> open();
    // Appends a frame; the first one sets the animation's size and every
    // later one must have it. A frame with more than 256 colours, a delay
    // out of range or a failed write is refused with a message, and the
    // writer then takes nothing more.
    std::optional<std::string> add(const QImage& frame, int delay);
    // Ends the animation, which is then whole in its file, ready to be put
    // in place. An animation without frames is refused.
    std::optional<std::string> end();
    AtomicFile& file() { return file_; }
    // Ends the animation and puts it in place of the file at the path.
    std::optional<std::string> commit();
    // Drops what was written; the file at the path stays as it was.
    void cancel();

  private:
    std::optional<std::string> fail(const QString& reason);
    std::optional<std::string> fail_gif(int error);
    std::optional<std::string> start(QSize size);
    std::optional<std::string> put_frame(const QImage& frame, const QRect& rect, int delay);
    void close_encoder();

    AtomicFile file_;
    GifFileType* gif_ = nullptr;
    QImage previous_;
    int frames_ = 0;
};

// Writes the frames as a looping animated GIF at path, all or nothing (see
// GifWriter). Returns a message naming the file and the reason on failure.
std::optional<std::string> save_gif(const QString& path, std::span<const GifFrame> frames);

}  // namespace heatplate
