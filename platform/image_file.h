#pragma once

#include <QImage>
#include <QString>

namespace heatplate {

// Writes the image as a PNG file that replaces the one at path only once
// whole. Returns why it could not be written, or an empty string.
QString save_png_atomically(const QImage& image, const QString& path);

}  // namespace heatplate
