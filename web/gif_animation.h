#pragma once

#include <optional>
#include <string>

#include "raster/indexed_image.h"

struct GifFileType;

namespace heatplate {

// A looping animated GIF built in memory frame by frame, for the page to
// offer as a download. It is encoded as heatplate-batch --animate encodes
// its files, with the same giflib, so that the same frames give the same
// bytes: every frame exact, with a colour table of its own holding the
// colours of the rectangle in which it differs from the frame before,
// drawn over that one.
class GifAnimation {
  public:
    GifAnimation() = default;
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Appends a frame shown for delay hundredths of a second; the first
    // sets the animation's size and every later one must have it. After a
    // failure nothing more is taken and the message stays.
    std::optional<std::string> add(const IndexedImage& frame, int delay);
    // Ends the animation; bytes() then holds the whole file.
    std::optional<std::string> end();
    const std::string& bytes() const { return bytes_; }

  private:
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<std::string> fail(const std::string& reason);
    std::optional<std::string> start(int width, int height);
    std::optional<std::string> put_frame(const IndexedImage& frame, const Rect& rect, int delay);
    void close();

    std::string bytes_;
    std::optional<std::string> error_;
    GifFileType* gif_ = nullptr;
    IndexedImage previous_;
    int frames_ = 0;
};

}  // namespace heatplate
