#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "reception/line_error_counters.h"
#include "reception/serial_port.h"
#include "serial/com_port_map.h"
#include "serial/home_thread.h"

QT_BEGIN_NAMESPACE
class QSerialPort;
QT_END_NAMESPACE

namespace bivane {

class PortInputThread;

// Bytes that may wait to be sent on a port (in the program and in the
// driver) before a new text is refused rather than queued: a receiver that
// does not read, or flow control that holds the line, must not make the
// output queue grow without end.
inline constexpr std::int64_t kMaxWaitingOutput = 4096;

// A serial port of the window (MSComm1(index)) on QSerialPort. Port number n
// is the system port "COM n", whose device `ports` names. Characters arriving
// and line conditions raise the port event on the Qt thread, or on the input
// thread the port is handed (then under the engine lock); every call returns
// at once, none runs an event loop.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
  public:
    // `index`: 1 = GPS 1 (aft), 2 = GPS 2 (forward), 3 = heading output; the
    // port starts as system port `index` with settings "4800,n,8,1".
    // `ports` must outlive the port.
    QtSerialPort(int index, const ComPortMap& ports, QObject* parent = nullptr);
    ~QtSerialPort() override;

    // Number and settings are used by the next open().
    void setPortNumber(std::int16_t number) override;
    std::int16_t portNumber() const override;
    void setSettings(std::string_view settings) override;
    std::string settings() const override;

    // Fails, naming the port, its device and the cause, when the settings text
    // cannot be read or applied, or the device does not exist, is not a serial
    // port, is in use elsewhere or may not be used by this user. Opening an
    // open port changes nothing.
    IoResult open() override;
    void close() override;
    bool isOpen() const override;

    int eventCode() const override;
    // All characters the port holds; never waits.
    std::string readInput() override;
    // Hands `text` to the device before returning where the device takes it
    // (the rest follows from the event loop); fails without queuing anything
    // when more than kMaxWaitingOutput bytes are still waiting to be sent.
    IoResult writeOutput(std::string_view text) override;
    bool inputWaiting() const override;

    // From the next open() on, the port reads on `thread` through a
    // descriptor of its own (QSerialPort then only writes): its events and
    // the engine's work for them no longer wait for the Qt thread. Where
    // the system has no such descriptor, Qt reads as before. The thread
    // must outlive the port.
    void readOnThread(PortInputThread& thread) { m_inputThread = &thread; }

    int index() const;
    // The device that the current port number stands for.
    QString deviceName() const;

  Q_SIGNALS:
    // The port reported a read or resource error (a receiver unplugged) and
    // has been closed. Emitted once per loss, from within the port's own
    // error handling: a slot may report the loss but must not delete the port.
    void portLost(int index);

  private:
    void deliverInput();
    void readerReady(short revents);
    void dropReader();
    // Off the Qt thread: the port is closed and its loss reported there.
    void loseLater();
    IoResult writeBuffered(std::string_view text);
    void raiseLineConditions();
    void handleError(int error);
    std::optional<std::string> configure(std::string_view settings);
    std::string openFailure(const QString& device) const;
    int descriptor() const;

    const int m_index;
    const ComPortMap& m_ports;
    std::int16_t m_number;
    std::string m_settings{kDefaultPortSettings};
    int m_eventCode = 0;
    std::optional<LineErrorCounts> m_lineErrors;
    QSerialPort* m_port;
    HomeThread m_home;
    PortInputThread* m_inputThread = nullptr;
    bool m_ownReader = false;  // this opening reads through m_reader
    int m_reader = -1;
    bool m_readFailed = false;
    std::uint64_t m_openings = 0;
    // Output handed to the Qt thread that QSerialPort has not yet taken.
    std::int64_t m_handedOver = 0;
};

}  // namespace bivane
