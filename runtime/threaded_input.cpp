#include "runtime/threaded_input.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <atomic>

#ifdef Q_OS_UNIX
#include <glib.h>
#endif

namespace bivane {
namespace {

// GLib's poll hook takes no user data: the one installed instance.
std::atomic<ThreadedInput*> g_installed{nullptr};

}  // namespace

#ifdef Q_OS_UNIX

namespace {

gint pollLettingGo(GPollFD* fds, guint count, gint timeout) {
    ThreadedInput* input = g_installed.load();
    return input != nullptr ? input->pollUnlocked(fds, count, timeout)
                            : g_poll(fds, count, timeout);
}

}  // namespace

std::unique_ptr<ThreadedInput> ThreadedInput::start() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr || !dispatcher->inherits("QEventDispatcherGlib") ||
        g_installed.load() != nullptr) {
        return nullptr;
    }
    std::unique_ptr<ThreadedInput> input(new ThreadedInput);
    input->m_lock.lock();
    input->m_thread = std::make_unique<PortInputThread>(input->m_lock);
    GMainContext* context = g_main_context_default();
    input->m_context = context;
    // Kept as a plain function pointer, GLib's types stay out of the header;
    // it is called only as the GPollFunc it was.
    input->m_previousPoll = reinterpret_cast<void (*)()>(g_main_context_get_poll_func(context));
    g_installed.store(input.get());
    g_main_context_set_poll_func(context, &pollLettingGo);
    return input;
}

ThreadedInput::~ThreadedInput() {
    auto* context = static_cast<GMainContext*>(m_context);
    g_main_context_set_poll_func(context, reinterpret_cast<GPollFunc>(m_previousPoll));
    g_installed.store(nullptr);
    m_thread.reset();
    m_lock.unlock();
}

int ThreadedInput::pollUnlocked(void* fds, unsigned count, int timeout) {
    const auto previous = reinterpret_cast<GPollFunc>(m_previousPoll);
    auto* pollFds = static_cast<GPollFD*>(fds);
    if (!m_loop.isCurrent()) {
        return previous(pollFds, count, timeout);
    }
    m_lock.unlock();
    const int result = previous(pollFds, count, timeout);
    m_lock.lock();
    return result;
}

#else

std::unique_ptr<ThreadedInput> ThreadedInput::start() {
    return nullptr;
}

ThreadedInput::~ThreadedInput() = default;

int ThreadedInput::pollUnlocked(void*, unsigned, int) {
    return -1;
}

#endif

}  // namespace bivane
