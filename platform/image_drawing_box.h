#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

#include "platform/drawing_box.h"

namespace heatplate {

// A drawing box backed by an image of its client area, so that the picture
// survives until the next clear however often the window repaints it.
class ImageDrawingBox final : public DrawingBox {
public:
    // width and height: the client area in pixels.
    ImageDrawingBox(int width, int height, Colour background, Colour foreground = 0);

    void scale(float x1, float y1, float x2, float y2) override;
    void cls() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override;
    void pset(float x, float y) override;
    void line_to(float x, float y, Colour colour) override;

    const QImage& image() const;
    bool save_png(const QString& path) const;
    // Grows by one with every change of the picture, so a viewer can tell
    // whether it has something new to show.
    std::uint64_t version() const;
};

}  // namespace heatplate
