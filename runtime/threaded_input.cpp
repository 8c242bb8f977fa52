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

std::unique_ptr<ThreadedInput> ThreadedInput::start() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr || !dispatcher->inherits("QEventDispatcherGlib") ||
        g_installed.load() != nullptr) {
        return nullptr;
    }
    std::unique_ptr<ThreadedInput> input(new ThreadedInput);
    input->m_loopThread = std::this_thread::get_id();
    input->m_lock.lock();
    input->m_thread = std::make_unique<PortInputThread>(input->m_lock);
    GMainContext* context = g_main_context_default();
    input->m_context = context;
    input->m_previousPoll =
        reinterpret_cast<int (*)(void*, unsigned, int)>(g_main_context_get_poll_func(context));
    g_installed.store(input.get());
    g_main_context_set_poll_func(context, reinterpret_cast<GPollFunc>(&pollUnlocked));
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
    ThreadedInput* input = g_installed.load();
    if (input == nullptr || std::this_thread::get_id() != input->m_loopThread) {
        return g_poll(static_cast<GPollFD*>(fds), count, timeout);
    }
    input->m_lock.unlock();
    const int result = input->m_previousPoll(fds, count, timeout);
    input->m_lock.lock();
    return result;
}

#else

std::unique_ptr<ThreadedInput> ThreadedInput::start() {
    return nullptr;
}

ThreadedInput::~ThreadedInput() = default;

int ThreadedInput::pollUnlocked(void*, unsigned, int) {
    return 0;
}

#endif

}  // namespace bivane
