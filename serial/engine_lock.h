#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

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
        m_holder.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }

    void unlock() {
        m_holder.store(std::thread::id(), std::memory_order_relaxed);
        m_serving.fetch_add(1);
        m_serving.notify_all();
    }

    bool heldHere() const {
        return m_holder.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

    // Lets go of the lock while it stands, for work that touches nothing a
    // port event touches (painting the window's widgets). Does nothing for
    // no lock (nullptr) or one this thread does not hold (already let go
    // further out).
    class Released {
      public:
        explicit Released(EngineLock* lock)
            : m_lock(lock != nullptr && lock->heldHere() ? lock : nullptr) {
            if (m_lock != nullptr) {
                m_lock->unlock();
            }
        }
        ~Released() {
            if (m_lock != nullptr) {
                m_lock->lock();
            }
        }
        Released(const Released&) = delete;
        Released& operator=(const Released&) = delete;

      private:
        EngineLock* m_lock;
    };

  private:
    std::atomic<std::uint32_t> m_next{0};
    std::atomic<std::uint32_t> m_serving{0};
    std::atomic<std::thread::id> m_holder{};
};

}  // namespace bivane
