#pragma once

#include <atomic>
#include <mutex>

namespace bivane {

// The one lock around the heading engine, its ports and everything a port
// event touches, when the input ports are read on a thread of their own.
// The event loop's thread holds it at all times except while it sleeps; the
// input thread takes it for each port event. It is fair to the input
// thread: an event loop that wakes up at once again (a busy window) still
// lets a waiting port event in before it goes on.
class EngineLock {
  public:
    void lockForInput() {
        m_inputWaiting.store(true);
        m_mutex.lock();
        m_inputWaiting.store(false);
        m_inputWaiting.notify_all();
    }

    void lockForLoop() {
        for (;;) {
            m_mutex.lock();
            if (!m_inputWaiting.load()) {
                return;
            }
            m_mutex.unlock();
            m_inputWaiting.wait(true);
        }
    }

    void unlock() { m_mutex.unlock(); }

  private:
    std::mutex m_mutex;
    std::atomic<bool> m_inputWaiting{false};
};

}  // namespace bivane
