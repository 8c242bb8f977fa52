#include "app/signal_closer.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace bivane {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The write end of the socket pair of the one SignalCloser there is.
volatile std::sig_atomic_t g_writeSocket = -1;

extern "C" void writeSignalByte(int) {
    const int savedErrno = errno;
    const char byte = 1;
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

SignalCloser::SignalCloser(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (g_writeSocket != -1) {
        throw std::logic_error("only one SignalCloser at a time");
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_sockets.data()) != 0) {
        throw std::runtime_error("no socket pair for the signal handler");
    }
    ::fcntl(m_sockets[1], F_SETFL, O_NONBLOCK);
    g_writeSocket = m_sockets[1];
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::onReadable);
    setHandler(writeSignalByte);
}

SignalCloser::~SignalCloser() {
    setHandler(SIG_DFL);
    g_writeSocket = -1;
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void SignalCloser::onReadable() {
    char bytes[16];
    [[maybe_unused]] const ssize_t read = ::read(m_sockets[0], bytes, sizeof bytes);
    if (m_received) {
        return;
    }
    m_received = true;
    setHandler(SIG_DFL);
    m_onSignal();
}

void CloseForSignal(QWidget& window) {
    // A bound, in case a box refuses to close.
    for (int boxes = 0; boxes < 16; ++boxes) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == &window) {
            break;
        }
        modal->close();
    }
    window.close();
    QCoreApplication::quit();
}

}  // namespace bivane
