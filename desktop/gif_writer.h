#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "desktop/atomic_file.h"
#include "raster/indexed_image.h"
#include "run/frame_plan.h"

struct GifFileType;

namespace heatplate {

// One picture of an animation and how long it stays, in hundredths of a
// second (0 to kGifMaxDelay).
struct GifFrame {
    IndexedImage image;
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
//
// Without a path, the animation is kept in memory instead, for bytes().
class GifWriter {
  public:
    explicit GifWriter(std::string path);
    GifWriter();
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Creates the temporary file. Returns a message naming the file and the
    // reason when it cannot be made (a missing or read-only folder, say).
    std::optional<std::string> open();
    // Appends a frame; the first one sets the animation's size and every
    // later one must have it. A frame without pixels, a delay out of range
    // or a failed write is refused with a message, and the writer then
    // takes nothing more.
    std::optional<std::string> add(const IndexedImage& frame, int delay);
    // Ends the animation, which is then whole in its file, ready to be put
    // in place. An animation without frames is refused.
    std::optional<std::string> end();
    AtomicFile& file() { return *file_; }
    // The animation kept in memory, once ended.
    const std::string& bytes() const { return memory_; }
    // Ends the animation and puts it in place of the file at the path.
    std::optional<std::string> commit();
    // Drops what was written; the file at the path stays as it was.
    void cancel();

  private:
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<std::string> fail(std::string_view reason);
    std::optional<std::string> fail_gif(int error);
    std::optional<std::string> start(int width, int height);
    std::optional<std::string> put_frame(const IndexedImage& frame, const Rect& rect, int delay);
    static Rect changed_rect(const IndexedImage& before, const IndexedImage& after);
    void close_encoder();

    std::unique_ptr<AtomicFile> file_;
    std::string memory_;
    std::optional<std::string> error_;  // of an animation in memory
    GifFileType* gif_ = nullptr;
    IndexedImage previous_;
    int frames_ = 0;
};

// Writes the frames as a looping animated GIF at path, all or nothing (see
// GifWriter). Returns a message naming the file and the reason on failure.
std::optional<std::string> save_gif(const std::string& path, std::span<const GifFrame> frames);

}  // namespace heatplate
