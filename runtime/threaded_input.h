#pragma once

#include <memory>

#include "serial/engine_lock.h"
#include "serial/home_thread.h"
#include "serial/input_thread.h"

namespace bivane {

// The receivers' ports read on a thread of their own, so that a heading
// goes out as soon as its sentence is in, however busy the window is. The
// Qt thread holds the engine lock at all times except while its event loop
// sleeps, so the window, its dialogs and the service touch the engine as
// they always did, and a port event runs only while they wait.
//
// What a port event does for the Qt thread (the labels, the message box,
// the network outputs, a port's loss) is handed to it through its event
// queue.
class ThreadedInput {
  public:
    // Takes the engine lock for the calling (Qt) thread and starts the
    // input thread. nullptr where Qt's event loop offers no way to let go
    // of the lock while it sleeps: the ports are then read on the Qt thread.
    static std::unique_ptr<ThreadedInput> start();
    // On the Qt thread, after every port that reads on the thread is closed.
    ~ThreadedInput();
    ThreadedInput(const ThreadedInput&) = delete;
    ThreadedInput& operator=(const ThreadedInput&) = delete;

    PortInputThread& thread() { return *m_thread; }

    // The event loop's poll (GLib's poll descriptors): the Qt thread lets go
    // of the lock while it waits.
    int pollUnlocked(void* fds, unsigned count, int timeout);

  private:
    ThreadedInput() = default;

    EngineLock m_lock;
    HomeThread m_loop;  // the event loop's thread, which makes this
    std::unique_ptr<PortInputThread> m_thread;
    void* m_context = nullptr;           // the Qt thread's GLib main context
    void (*m_previousPoll)() = nullptr;  // GLib's poll function before ours
};

}  // namespace bivane
