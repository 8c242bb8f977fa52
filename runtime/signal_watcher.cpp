#include "runtime/signal_watcher.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace bivane {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The write end of the socket pair of the one SignalWatcher there is.
volatile std::sig_atomic_t g_writeSocket = -1;

extern "C" void writeSignalByte(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_writeSocket, &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (g_writeSocket != -1) {
        throw std::logic_error("only one SignalWatcher at a time");
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_sockets.data()) != 0) {
        throw std::runtime_error("no socket pair for the signal handler");
    }
    ::fcntl(m_sockets[1], F_SETFL, O_NONBLOCK);
    g_writeSocket = m_sockets[1];
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onReadable);
    setHandler(writeSignalByte);
}

SignalWatcher::~SignalWatcher() {
    setHandler(SIG_DFL);
    g_writeSocket = -1;
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void SignalWatcher::restoreDefaults() {
    setHandler(SIG_DFL);
}

void SignalWatcher::onReadable() {
    char bytes[16];
    const ssize_t count = ::read(m_sockets[0], bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) {
        m_onSignal(static_cast<unsigned char>(bytes[i]));
    }
}

}  // namespace bivane
