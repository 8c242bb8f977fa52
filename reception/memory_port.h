#pragma once

#include <functional>
#include <string>

#include "reception/serial_port.h"

namespace bivane {

// A serial port in memory: the engine's port for the replay tool, the
// benchmarks and the tests. Input is delivered by the caller, output is kept
// (or handed to a sink), and opens or writes can be made to fail.
class MemoryPort final : public SerialPort {
  public:
    explicit MemoryPort(std::int16_t number = 1) : m_number(number) {}

    void setPortNumber(std::int16_t number) override { m_number = number; }
    std::int16_t portNumber() const override { return m_number; }
    void setSettings(std::string_view settings) override { m_settings = settings; }
    std::string settings() const override { return m_settings; }

    IoResult open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }

    int eventCode() const override { return m_eventCode; }
    std::string readInput() override;
    IoResult writeOutput(std::string_view text) override;

    // Characters arriving: queued, then the receive event is raised.
    void receive(std::string_view characters);
    // A line condition (kEventBreak ... kEventParity) is raised.
    void lineCondition(int code);

    // Makes open() fail with `reason` (empty: opens succeed again).
    void failOpens(std::string reason) { m_openFailure = std::move(reason); }
    // Makes writeOutput() fail with `reason` (empty: writes succeed again).
    void failWrites(std::string reason) { m_writeFailure = std::move(reason); }
    // Hands every written text to `sink` instead of keeping it.
    void setOutputSink(std::function<void(std::string_view)> sink) { m_sink = std::move(sink); }

    const std::string& written() const { return m_written; }
    void clearWritten() { m_written.clear(); }

  private:
    std::int16_t m_number;
    std::string m_settings{kDefaultPortSettings};
    bool m_open = false;
    int m_eventCode = 0;
    std::string m_input;
    std::string m_written;
    std::string m_openFailure;
    std::string m_writeFailure;
    std::function<void(std::string_view)> m_sink;
};

}  // namespace bivane
