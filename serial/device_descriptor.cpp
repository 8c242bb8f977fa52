#include "serial/device_descriptor.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#endif

namespace bivane {

#ifdef Q_OS_UNIX

namespace {

// What poll() reports of `descriptor` for `events` without waiting; 0 when
// nothing is ready.
short readyNow(int descriptor, short events) {
    pollfd request{descriptor, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&request, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 ? request.revents : 0;
}

}  // namespace

bool DeviceAcceptsOutput(int descriptor) {
    return descriptor < 0 || (readyNow(descriptor, POLLOUT) & (POLLOUT | POLLERR | POLLHUP)) != 0;
}

std::optional<std::size_t> WriteNow(int descriptor, std::string_view text) {
    for (;;) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written >= 0) {
            return static_cast<std::size_t>(written);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool DeviceHasInput(int descriptor) {
    if (descriptor < 0) {
        return false;
    }
    // A line that hung up reads as ready too, but brings nothing to handle.
    const short ready = readyNow(descriptor, POLLIN);
    return (ready & POLLIN) != 0 && (ready & (POLLERR | POLLHUP | POLLNVAL)) == 0;
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

int OpenReader(const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    int descriptor = -1;
    do {
        descriptor = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

void CloseReader(int descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

bool EnableReceiver(int descriptor) {
    termios settings{};
    if (::tcgetattr(descriptor, &settings) != 0) {
        return false;
    }
    if ((settings.c_cflag & CREAD) != 0) {
        return true;
    }
    settings.c_cflag |= CREAD;
    return ::tcsetattr(descriptor, TCSANOW, &settings) == 0;
}

std::optional<std::string> ReadNow(int descriptor, std::size_t limit) {
    std::string text;
    char chunk[4096];
    while (text.size() < limit) {
        const ssize_t got = ::read(descriptor, chunk, std::min(sizeof chunk, limit - text.size()));
        if (got > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
            if (static_cast<std::size_t>(got) < sizeof chunk) {
                break;  // all there was; what comes later, poll() reports
            }
        } else if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            // A raw terminal that waits for nothing (no minimum count, no
            // time) reads 0 when nothing is there; a hang-up shows in poll().
            break;
        } else if (errno != EINTR) {
            return text.empty() ? std::nullopt : std::optional(text);
        }
    }
    return text;
}

#else

int OpenReader(const QString&) {
    return -1;
}
void CloseReader(int) {}
bool EnableReceiver(int) {
    return false;
}
std::optional<std::string> ReadNow(int, std::size_t) {
    return std::nullopt;
}
bool DeviceAcceptsOutput(int) {
    return true;
}
bool DeviceHasInput(int) {
    return false;
}
std::optional<std::size_t> WriteNow(int, std::string_view) {
    return 0;
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
