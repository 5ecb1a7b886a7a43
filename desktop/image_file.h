#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <string>

#include "desktop/atomic_file.h"
#include "raster/indexed_image.h"
#include "raster/raster.h"

namespace heatplate {

// The picture as a QImage that shares its pixels: for painting it, valid
// while the picture lives unchanged in size.
QImage qimage_view(const RasterImage& image);

// Writes the picture into the file as PNG: with a colour table when it has
// at most 256 colours, in full colour otherwise; the pixels are the same.
std::optional<std::string> write_png(const RasterImage& image, AtomicFile& file);

// Writes the image as a PNG file that replaces the one at path only once
// whole, with a colour table when it has at most 256 colours. Returns the
// message naming the file and the reason when it could not be written.
std::optional<std::string> save_png_atomically(const QImage& image, const QString& path);

}  // namespace heatplate
