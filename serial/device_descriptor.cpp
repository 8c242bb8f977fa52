#include "serial/device_descriptor.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace bivane {

#ifdef Q_OS_UNIX

bool DeviceAcceptsOutput(int descriptor) {
    if (descriptor < 0) {
        return true;
    }
    pollfd request{descriptor, POLLOUT, 0};
    int ready = 0;
    do {
        ready = ::poll(&request, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (request.revents & (POLLOUT | POLLERR | POLLHUP)) != 0;
}

bool DeviceHasInput(int descriptor) {
    if (descriptor < 0) {
        return false;
    }
    pollfd request{descriptor, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&request, 1, 0);
    } while (ready < 0 && errno == EINTR);
    // A line that hung up reads as ready too, but brings nothing to handle.
    return ready > 0 && (request.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0 &&
           (request.revents & POLLIN) != 0;
}

std::int64_t DriverOutputQueue(int descriptor) {
    int waiting = 0;
    if (descriptor < 0 || ::ioctl(descriptor, TIOCOUTQ, &waiting) != 0 || waiting < 0) {
        return 0;
    }
    return waiting;
}

bool LockDeviceExclusively(int descriptor) {
    if (descriptor < 0) {
        return true;
    }
    int result = 0;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    // Only a lock held elsewhere refuses the device; a file system without
    // advisory locks does not.
    return result == 0 || errno != EWOULDBLOCK;
}

bool MayReadAndWrite(const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    return ::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) == 0;
}

#else

bool DeviceAcceptsOutput(int) {
    return true;
}
bool DeviceHasInput(int) {
    return false;
}
std::int64_t DriverOutputQueue(int) {
    return 0;
}
bool LockDeviceExclusively(int) {
    return true;
}
bool MayReadAndWrite(const QString&) {
    return true;
}

#endif

}  // namespace bivane
