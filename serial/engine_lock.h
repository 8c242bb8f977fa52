#pragma once

#include <atomic>
#include <cstdint>

namespace bivane {

// The one lock around the heading engine, its ports and everything a port
// event touches, when the input ports are read on a thread of their own.
// The event loop's thread holds it at all times except while it sleeps; the
// input thread takes it for each port event.
//
// It is taken in the order it was asked for: a busy event loop (a window
// being painted) lets a waiting port event in before it goes on, and a
// flood of port events still lets the window have its turn.
class EngineLock {
  public:
    void lock() {
        const std::uint32_t ticket = m_next.fetch_add(1);
        for (std::uint32_t serving = m_serving.load(); serving != ticket;
             serving = m_serving.load()) {
            m_serving.wait(serving);
        }
    }

    void unlock() {
        m_serving.fetch_add(1);
        m_serving.notify_all();
    }

  private:
    std::atomic<std::uint32_t> m_next{0};
    std::atomic<std::uint32_t> m_serving{0};
};

}  // namespace bivane
