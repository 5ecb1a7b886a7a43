#pragma once

#include <QFrame>

#include <cstdint>

#include "raster/image_drawing_box.h"

namespace heatplate {

// A drawing box of the window: a sunken two-pixel border around a client
// area that shows the box's picture. The picture lives in an image, so the
// box can repaint itself whenever the window asks, and child controls placed
// in it are positioned from the client area's corner.
class PictureBox final : public QFrame {
  public:
    static constexpr int kBorder = 2;

    // outer: the size with the border, in device-independent pixels. The
    // image gets the client area's size in device pixels, so that the
    // pictures stay sharp on screens with more than one pixel per unit.
    PictureBox(QWidget* parent, QSize outer, qreal device_pixel_ratio, Colour background,
               Colour foreground);

    ImageDrawingBox& drawing() { return drawing_; }
    const ImageDrawingBox& drawing() const { return drawing_; }

    Colour background() const { return background_; }

    // The corner of the client area, where child controls measure from.
    QPoint client_origin() const { return {kBorder, kBorder}; }

    // Asks for a repaint if the picture has changed since it was last painted.
    void update_if_changed();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ImageDrawingBox drawing_;
    Colour background_;
    std::uint64_t requested_version_;  // the picture the last repaint request covers
};

}  // namespace heatplate
