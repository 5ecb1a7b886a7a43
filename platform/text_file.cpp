#include "platform/text_file.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace heatplate {

std::optional<std::string> save_file_atomically(const std::string& path, const std::string& bytes) {
    const QString name = QString::fromStdString(path);
    auto failure = [&](const QString& reason) {
        return std::optional<std::string>(
            QStringLiteral("Could not write %1: %2")
                .arg(QFileInfo(name).absoluteFilePath(), reason)
                .toStdString());
    };
    if (QFileInfo(name).isDir()) {
        return failure(QStringLiteral("a directory of that name is in the way"));
    }
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(file.errorString());
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit()) {
        return failure(file.errorString());
    }
    return std::nullopt;
}

}  // namespace heatplate
