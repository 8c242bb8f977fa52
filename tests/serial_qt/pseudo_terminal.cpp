#include "tests/serial_qt/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

namespace bivane::test_support {

PseudoTerminal::PseudoTerminal() {
    std::array<char, 128> name{};
    if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // A program the test starts must not hold the line's far end open: it
    // would outlive an unplugging.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_path = QString::fromLocal8Bit(name.data());
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
    ::close(m_slave);
}

void PseudoTerminal::send(std::string_view characters) {
    while (!characters.empty()) {
        const ssize_t written = ::write(m_master, characters.data(), characters.size());
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            throw std::runtime_error("writing to the pseudo-terminal failed");
        }
        characters.remove_prefix(static_cast<std::size_t>(std::max<ssize_t>(written, 0)));
    }
}

std::string PseudoTerminal::receive(std::chrono::milliseconds wait) {
    std::string received;
    pollfd request{m_master, POLLIN, 0};
    std::array<char, 4096> chunk{};
    ssize_t count = 0;
    if (::poll(&request, 1, static_cast<int>(wait.count())) > 0) {
        while ((count = ::read(m_master, chunk.data(), chunk.size())) > 0) {
            received.append(chunk.data(), static_cast<std::size_t>(count));
        }
    }
    return received;
}

void PseudoTerminal::closeMaster() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

void ProcessEventsFor(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (!done() && !deadline.hasExpired()) {
        ProcessEventsFor(std::chrono::milliseconds(1));
    }
    return done();
}

}  // namespace bivane::test_support
