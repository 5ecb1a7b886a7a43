#include "platform/text_file.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace heatplate {

std::optional<std::string> save_file_atomically(const std::string& path, const std::string& bytes) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    auto failure = [&](const QString& reason) {
        // A link is written through; name where it leads, or the reason
        // (say, a missing folder) would seem to contradict the name.
        const QString via = info.isSymLink()
                                ? QStringLiteral(" (a link to %1)").arg(info.symLinkTarget())
                                : QString();
        return std::optional<std::string>(QStringLiteral("Could not write %1%2: %3")
                                              .arg(info.absoluteFilePath(), via, reason)
                                              .toStdString());
    };
    if (info.isDir()) {
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
