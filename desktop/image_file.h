#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <string>

#include "desktop/atomic_file.h"

namespace heatplate {

// Writes the image into the file as PNG: with a colour table when it has at
// most 256 colours, in full colour otherwise; the pixels are the same.
std::optional<std::string> write_png(const QImage& image, AtomicFile& file);

// Writes the image as a PNG file that replaces the one at path only once
// whole. Returns the message naming the file and the reason when it could
// not be written.
std::optional<std::string> save_png_atomically(const QImage& image, const QString& path);

}  // namespace heatplate
