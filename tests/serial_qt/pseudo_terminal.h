#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace bivane::test_support {

// A pseudo-terminal pair: the program's port opens the slave device by its
// path, the test plays the other end of the line on the master side.
class PseudoTerminal {
  public:
    PseudoTerminal();  // throws std::runtime_error when none can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QString devicePath() const { return m_path; }
    int slaveDescriptor() const { return m_slave; }

    // Characters onto the line, towards the port.
    void send(std::string_view characters);
    // What the port sent: waits up to `wait` for a first character, then
    // takes everything already there.
    std::string receive(std::chrono::milliseconds wait);
    // The far end goes away, as an unplugged USB receiver does.
    void closeMaster();

  private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Runs the Qt event loop (blocking, not spinning) until `done` holds or
// `limit` has passed; true when it holds.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
// Runs the Qt event loop for `span`.
void ProcessEventsFor(std::chrono::milliseconds span);

}  // namespace bivane::test_support
