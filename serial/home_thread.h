#pragma once

#include <thread>

namespace bivane {

// The thread an object was made on (the Qt thread, for the program's ports,
// window and outputs), told apart from the input thread without touching
// Qt's per-thread data: the question is asked on the way to every heading.
class HomeThread {
  public:
    bool isCurrent() const { return std::this_thread::get_id() == m_id; }

  private:
    std::thread::id m_id = std::this_thread::get_id();
};

}  // namespace bivane
