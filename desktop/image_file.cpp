#include "desktop/image_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <string_view>

namespace heatplate {
namespace {

// An 8-bit QImage of the indexed picture, its colour table included.
QImage indexed_qimage(const IndexedImage& indexed) {
    QImage out(indexed.width, indexed.height, QImage::Format_Indexed8);
    for (int y = 0; y < indexed.height; ++y) {
        std::copy_n(indexed.indices.begin() + static_cast<std::ptrdiff_t>(y) * indexed.width,
                    indexed.width, out.scanLine(y));
    }
    out.setColorTable(QList<QRgb>(indexed.colours.begin(), indexed.colours.end()));
    return out;
}

// Encodes in memory first, so that the file goes through the one writer
// that checks every stage of putting it in place.
std::optional<std::string> encode_png(const QImage& image, AtomicFile& file) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return file.fail(writer.errorString().toStdString());
    }
    return file.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

RasterImage raster_copy(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RasterImage out(rgb.width(), rgb.height(), 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = row[x] | 0xFF000000u;
        }
    }
    return out;
}

}  // namespace

QImage qimage_view(const RasterImage& image) {
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  image.width * 4, QImage::Format_RGB32);
}

std::optional<std::string> write_png(const RasterImage& image, AtomicFile& file) {
    // A picture of at most 256 colours, as the map, the 3-D view and the
    // chart always are, is encoded with a table of its colours: the same
    // pixels in a fraction of the time.
    if (const auto indexed = exact_indexed8(image)) {
        return encode_png(indexed_qimage(*indexed), file);
    }
    return encode_png(qimage_view(image), file);
}

std::optional<std::string> save_png_atomically(const QImage& image, const QString& path) {
    AtomicFile file(path.toStdString());
    if (auto error = write_png(raster_copy(image), file)) {
        return error;
    }
    return file.commit();
}

}  // namespace heatplate
