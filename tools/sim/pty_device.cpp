#include "tools/sim/pty_device.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace bivane::sim {
namespace {

void addFlags(int fd, int getCommand, int setCommand, int flags) {
    const int old = fcntl(fd, getCommand);
    if (old < 0 || fcntl(fd, setCommand, old | flags) < 0) {
        throw std::system_error(errno, std::generic_category(), "fcntl on a pseudo-terminal");
    }
}

}  // namespace

PtyDevice::PtyDevice() {
    char name[256] = "";
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    try {
        termios raw{};
        if (tcgetattr(m_slave, &raw) != 0) {
            throw std::system_error(errno, std::generic_category(), "tcgetattr");
        }
        cfmakeraw(&raw);
        if (tcsetattr(m_slave, TCSANOW, &raw) != 0) {
            throw std::system_error(errno, std::generic_category(), "tcsetattr");
        }
        addFlags(m_master, F_GETFD, F_SETFD, FD_CLOEXEC);
        addFlags(m_slave, F_GETFD, F_SETFD, FD_CLOEXEC);
        addFlags(m_master, F_GETFL, F_SETFL, O_NONBLOCK);
    } catch (...) {
        close(m_master);
        close(m_slave);
        throw;
    }
    m_slaveName = name;
}

PtyDevice::~PtyDevice() {
    close(m_master);
    close(m_slave);
}

}  // namespace bivane::sim
