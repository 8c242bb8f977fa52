#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "heading/io_result.h"

namespace bivane {

// Event codes of a serial port, as the reception reads them.
enum PortEventCode : int {
    kEventReceive = 2,     // characters arrived
    kEventBreak = 1001,    // a break was detected on the line
    kEventFrame = 1004,    // framing error
    kEventOverrun = 1006,  // receive overrun: characters were lost
    kEventRxOver = 1008,   // the receive buffer overflowed
    kEventParity = 1009,   // parity error
};

inline constexpr std::string_view kDefaultPortSettings = "4800,n,8,1";

// What the program needs of one serial port. A port has a number (the
// system's serial port n, "COM n") and a settings text such as "4800,n,8,1";
// both are set while it is closed. When characters arrive or a line condition
// occurs, the port sets its event code and raises its event on the program's
// thread; the handler runs to its end before the next event.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    virtual void setPortNumber(std::int16_t number) = 0;
    virtual std::int16_t portNumber() const = 0;
    virtual void setSettings(std::string_view settings) = 0;
    virtual std::string settings() const = 0;

    // Opens the port.
    virtual IoResult open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The code of the event being handled (PortEventCode).
    virtual int eventCode() const = 0;
    // All characters waiting, removed from the port. Never waits.
    virtual std::string readInput() = 0;
    // Queues text for sending and returns at once.
    virtual IoResult writeOutput(std::string_view text) = 0;
    // True when characters have arrived that no port event has handed over
    // yet: another event is on its way. Never waits.
    virtual bool inputWaiting() const { return false; }

    // The port event's handler.
    void setEventHandler(std::function<void()> handler) { m_eventHandler = std::move(handler); }

  protected:
    void raiseEvent() {
        if (m_eventHandler) {
            m_eventHandler();
        }
    }

  private:
    std::function<void()> m_eventHandler;
};

}  // namespace bivane
