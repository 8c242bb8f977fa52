#include "serial/input_thread.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#if __has_include(<poll.h>)
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#define BIVANE_HAS_POLL 1
#endif

namespace bivane {

#ifdef BIVANE_HAS_POLL

PortInputThread::PortInputThread(EngineLock& lock) : m_lock(lock) {
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "the input thread's wake-up pipe");
    }
    m_wakeRead = ends[0];
    m_wakeWrite = ends[1];
    m_thread = std::thread([this] { run(); });
}

PortInputThread::~PortInputThread() {
    m_stop = true;
    wake();
    m_lock.unlock();
    m_thread.join();
    m_lock.lock();
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

void PortInputThread::watch(int descriptor, Handler handler) {
    unwatch(descriptor);
    m_watches.push_back({descriptor, std::move(handler)});
    changed();
}

void PortInputThread::unwatch(int descriptor) {
    const auto gone =
        std::remove_if(m_watches.begin(), m_watches.end(),
                       [descriptor](const Watch& w) { return w.descriptor == descriptor; });
    if (gone != m_watches.end()) {
        m_watches.erase(gone, m_watches.end());
        changed();
    }
}

void PortInputThread::whenQuiet(std::function<void()> call) {
    if (!call) {
        m_quietCall = nullptr;
        return;
    }
    if (!m_quietCall) {
        m_quietDeadline = std::chrono::steady_clock::now() + kLongestDeferral;
    }
    m_quietCall = std::move(call);
}

int PortInputThread::quietTimeout() const {
    if (!m_quietCall) {
        return -1;
    }
    const auto due = std::min(m_lastInput + kQuietMs, m_quietDeadline);
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

void PortInputThread::runQuietCall() {
    const std::function<void()> call = std::move(m_quietCall);
    m_quietCall = nullptr;
    call();
}

void PortInputThread::changed() {
    ++m_generation;
    if (!isCurrent()) {
        wake();
    }
}

void PortInputThread::wake() const {
    const char byte = 0;
    // A full pipe wakes the thread as well as one more byte would.
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite, &byte, 1);
}

void PortInputThread::run() {
    std::vector<pollfd> waitFor;
    m_lock.lock();
    while (!m_stop) {
        waitFor.assign(1, pollfd{m_wakeRead, POLLIN, 0});
        for (const Watch& w : m_watches) {
            waitFor.push_back({w.descriptor, POLLIN, 0});
        }
        const std::uint64_t generation = m_generation;
        m_lock.unlock();
        const int ready = ::poll(waitFor.data(), waitFor.size(), quietTimeout());
        m_lock.lock();
        if (m_stop) {
            break;
        }
        if (m_quietCall && (ready == 0 || std::chrono::steady_clock::now() >= m_quietDeadline)) {
            runQuietCall();
        }
        if (ready <= 0) {
            continue;  // quiet, or interrupted
        }
        m_lastInput = std::chrono::steady_clock::now();
        if (waitFor[0].revents != 0) {
            char drain[64];
            while (::read(m_wakeRead, drain, sizeof drain) > 0) {
            }
        }
        // A handler may close a port (its own or, through the engine, any):
        // the rest of this round is then stale.
        for (std::size_t i = 1; i < waitFor.size() && !m_stop && generation == m_generation; ++i) {
            if (waitFor[i].revents != 0) {
                const Handler handler = m_watches[i - 1].handler;
                handler(waitFor[i].revents);
            }
        }
    }
    m_lock.unlock();
}

#else

// The ports are read on the Qt thread where the system has no poll().
PortInputThread::PortInputThread(EngineLock& lock) : m_lock(lock) {
    throw std::logic_error("this system reads its ports on the Qt thread only");
}
PortInputThread::~PortInputThread() = default;
void PortInputThread::watch(int, Handler) {}
void PortInputThread::unwatch(int) {}

#endif

}  // namespace bivane
