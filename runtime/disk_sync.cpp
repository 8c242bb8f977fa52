#include "runtime/disk_sync.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace bivane {

bool SyncFileToDisk(int handle) {
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

std::optional<QString> SyncFolderToDisk(const QString& folder) {
#ifdef Q_OS_WIN
    // A rename there is written through by the system; a folder cannot be
    // opened for syncing.
    Q_UNUSED(folder);
    return std::nullopt;
#else
    const QByteArray path = QFile::encodeName(folder);
    const int handle = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    const bool synced = SyncFileToDisk(handle);
    const int error = errno;
    ::close(handle);
    if (!synced) {
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return std::nullopt;
#endif
}

}  // namespace bivane
