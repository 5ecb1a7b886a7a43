#include "window/picture_box.h"

#include <QPainter>

#include <cmath>

#include "desktop/image_file.h"

namespace heatplate {
namespace {

int device_pixels(int pixels, qreal ratio) {
    return static_cast<int>(std::lround(pixels * ratio));
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, QSize outer, qreal device_pixel_ratio, Colour background,
                       Colour foreground)
    : QFrame(parent),
      drawing_(device_pixels(outer.width() - 2 * kBorder, device_pixel_ratio),
               device_pixels(outer.height() - 2 * kBorder, device_pixel_ratio), background,
               foreground),
      background_(background),
      requested_version_(drawing_.version()) {
    // The classic sunken border of a picture box: dark outer line above and
    // to the left, light below and to the right, two pixels in all.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    resize(outer);
}

void PictureBox::update_if_changed() {
    // A repaint draws the picture as it is then, so one request covers
    // every change made before it happens.
    if (drawing_.version() != requested_version_) {
        requested_version_ = drawing_.version();
        update(contentsRect());
    }
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(QRectF(contentsRect()), qimage_view(drawing_.image()));
    drawFrame(&painter);
}

}  // namespace heatplate
