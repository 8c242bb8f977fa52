#include "runtime/settings_file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "runtime/disk_sync.h"
#include "reception/port_settings.h"

namespace bivane {
namespace {

// Eleven short items: anything longer than this is not a settings file, and
// what stands in it past the eleventh item does not count.
constexpr qint64 kLargestRead = 64 * 1024;

}  // namespace

SettingsFileLoad LoadSettingsFile(const QString& path) {
    SettingsFileLoad load;
    const QFileInfo info(path);
    load.exists = info.exists();
    if (!load.exists) {
        return load;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        load.failure = info.isDir() ? QStringLiteral("it is a folder") : file.errorString();
        return load;
    }
    const QByteArray text = file.read(kLargestRead);
    if (file.error() != QFileDevice::NoError) {
        load.failure = file.errorString();
        return load;
    }
    const auto checkPortSettings = [](std::string_view settings) -> std::optional<std::string> {
        PortSettingsReading reading = ParsePortSettings(settings);
        if (!reading.settings) {
            return std::move(reading.failure);
        }
        return std::nullopt;
    };
    load.read =
        ReadSettingsFile(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                         checkPortSettings);
    return load;
}

std::optional<QString> KeepBadSettingsFile(const QString& path) {
    const QString badPath = path + QStringLiteral(".bad");
    if (QFile::exists(badPath) && !QFile::remove(badPath)) {
        return QStringLiteral("the older copy \"%1\" cannot be removed").arg(badPath);
    }
    QFile file(path);
    if (!file.copy(badPath)) {
        return file.errorString();
    }
    return std::nullopt;
}

std::optional<QString> SaveSettingsFile(const QString& path, const SettingsItems& items) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    const std::string text = WriteSettingsFile(items);
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size || !file.flush() || !SyncFileToDisk(file.handle())) {
        const QString failure = file.errorString();
        file.cancelWriting();
        return failure;
    }
    // The new file takes the old one's name; then the folder is synced, so
    // that after a power cut the name leads to the new file, not the old.
    if (!file.commit()) {
        return file.errorString();
    }
    if (const auto failure = SyncFolderToDisk(QFileInfo(path).absolutePath())) {
        return QStringLiteral("the folder cannot be synced to disk: ") + *failure;
    }
    return std::nullopt;
}

}  // namespace bivane
