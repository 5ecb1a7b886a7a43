#include "desktop/image_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <string_view>

#include "raster/indexed_image.h"

namespace heatplate {

std::optional<std::string> write_png(const QImage& image, AtomicFile& file) {
    // A picture of at most 256 colours, as the map, the 3-D view and the
    // chart always are, is encoded with a table of its colours: the same
    // pixels in a fraction of the time.
    const QImage indexed = exact_indexed8(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(indexed.isNull() ? image : indexed)) {
        return file.fail(writer.errorString().toStdString());
    }
    return file.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::optional<std::string> save_png_atomically(const QImage& image, const QString& path) {
    AtomicFile file(path.toStdString());
    if (auto error = write_png(image, file)) {
        return error;
    }
    return file.commit();
}

}  // namespace heatplate
