#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "serial/engine_lock.h"

namespace bivane {

// A thread that waits for the input ports' descriptors and runs each one's
// handler under the engine lock as soon as it is ready, so that a receiver's
// sentence is handled (and its heading sent) without waiting for the event
// loop, whatever the window is busy with.
//
// watch() and unwatch() are called with the engine lock held (by the event
// loop's thread, or from a handler). A descriptor that is unwatched is never
// handed to a handler again, even when it was closed and its number reused
// while the thread waited.
class PortInputThread {
  public:
    // `revents`: what poll() reported (POLLIN, POLLHUP, POLLERR).
    using Handler = std::function<void(short revents)>;

    // Starts the thread; `lock` must outlive it.
    explicit PortInputThread(EngineLock& lock);
    // The caller holds the lock; it is let go while the thread ends.
    ~PortInputThread();
    PortInputThread(const PortInputThread&) = delete;
    PortInputThread& operator=(const PortInputThread&) = delete;

    void watch(int descriptor, Handler handler);
    void unwatch(int descriptor);

    // Runs `call` on the thread, under the lock, once the ports have been
    // quiet for kQuietMs, or kLongestDeferral after the first call asked
    // for, whichever comes first; a later call replaces one that waits.
    // Called with the lock held, from a handler: what the Qt thread need
    // not hear at once waits until the heading has reached its readers. A
    // null call takes back the one that waits (its owner is going).
    void whenQuiet(std::function<void()> call);
    EngineLock& lock() const { return m_lock; }
    // True on the thread itself (in a handler).
    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

    static constexpr std::chrono::milliseconds kQuietMs{2};
    static constexpr std::chrono::milliseconds kLongestDeferral{50};

  private:
    struct Watch {
        int descriptor;
        Handler handler;
    };

    void run();
    // poll()'s timeout: until the quiet call is due, or -1 for none.
    int quietTimeout() const;
    void runQuietCall();
    void wake() const;
    void changed();

    EngineLock& m_lock;
    std::vector<Watch> m_watches;
    std::uint64_t m_generation = 0;  // counts the changes of m_watches
    bool m_stop = false;
    std::function<void()> m_quietCall;
    std::chrono::steady_clock::time_point m_quietDeadline;  // kLongestDeferral after the first
    std::chrono::steady_clock::time_point m_lastInput;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;
};

}  // namespace bivane
