#include "serial/qt_serial_port.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

#include "reception/port_settings.h"
#include "reception/port_text_output.h"
#include "serial/device_descriptor.h"
#include "serial/input_thread.h"

namespace bivane {
namespace {

// Characters a port keeps for its reader. The input ports' reception reads
// everything at each event; the heading output's events are never read, so
// a talking listener on port 3 must not fill memory.
constexpr qint64 kReadBufferLimit = 64 * 1024;

QSerialPort::Parity qtParity(PortParity parity) {
    switch (parity) {
        case PortParity::Even:
            return QSerialPort::EvenParity;
        case PortParity::Odd:
            return QSerialPort::OddParity;
        case PortParity::Mark:
            return QSerialPort::MarkParity;
        case PortParity::Space:
            return QSerialPort::SpaceParity;
        case PortParity::None:
            break;
    }
    return QSerialPort::NoParity;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace

QtSerialPort::QtSerialPort(int index, const ComPortMap& ports, QObject* parent)
    : QObject(parent),
      m_index(index),
      m_ports(ports),
      m_number(static_cast<std::int16_t>(index)),
      m_port(new QSerialPort(this)) {
    m_port->setReadBufferSize(kReadBufferLimit);
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialPort::deliverInput);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { handleError(error); });
}

QtSerialPort::~QtSerialPort() {
    m_port->disconnect(this);
    close();
}

void QtSerialPort::setPortNumber(std::int16_t number) {
    m_number = number;
}

std::int16_t QtSerialPort::portNumber() const {
    return m_number;
}

void QtSerialPort::setSettings(std::string_view settings) {
    m_settings = settings;
}

std::string QtSerialPort::settings() const {
    return m_settings;
}

int QtSerialPort::index() const {
    return m_index;
}

QString QtSerialPort::deviceName() const {
    return m_ports.deviceFor(m_number);
}

bool QtSerialPort::isOpen() const {
    return m_port->isOpen();
}

int QtSerialPort::eventCode() const {
    return m_eventCode;
}

int QtSerialPort::descriptor() const {
#ifdef Q_OS_UNIX
    return m_port->isOpen() ? m_port->handle() : -1;
#else
    return -1;
#endif
}

std::optional<std::string> QtSerialPort::configure(std::string_view settings) {
    const PortSettingsReading reading = ParsePortSettings(settings);
    if (!reading.settings) {
        return "the settings " + quoted(settings) + " cannot be used: " + reading.failure;
    }
    const PortSettings& wanted = *reading.settings;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    switch (wanted.stopBits) {
        case PortStopBits::One:
            break;
        case PortStopBits::Two:
            stopBits = QSerialPort::TwoStop;
            break;
        case PortStopBits::OneAndHalf:
#ifdef Q_OS_WIN
            stopBits = QSerialPort::OneAndHalfStop;
#else
            // A POSIX terminal knows one or two stop bits; a UART sends two
            // as one and a half when the characters have five data bits.
            if (wanted.dataBits != 5) {
                return "the settings " + quoted(settings) +
                       " cannot be used: 1.5 stop bits are possible only with 5 data bits";
            }
            stopBits = QSerialPort::TwoStop;
#endif
            break;
    }
    // While the port is closed these only record the values; open() applies
    // them all at once.
    m_port->setBaudRate(wanted.speed);
    m_port->setParity(qtParity(wanted.parity));
    m_port->setDataBits(static_cast<QSerialPort::DataBits>(wanted.dataBits));
    m_port->setStopBits(stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    return std::nullopt;
}

std::string QtSerialPort::openFailure(const QString& device) const {
    const std::string qtReason = " (" + m_port->errorString().toStdString() + ")";
    switch (m_port->error()) {
        case QSerialPort::DeviceNotFoundError:
            return "the device does not exist";
        case QSerialPort::PermissionError:
            // Qt reports a device held by another program (its lock file, or
            // exclusive use) as a permission error too.
            if (!MayReadAndWrite(device)) {
                return "no permission to read and write the device";
            }
            return "the device is in use by another program";
        case QSerialPort::UnsupportedOperationError:
            return "the device is not a serial port or refuses the settings " + quoted(m_settings) +
                   qtReason;
        default:
            return "the device cannot be opened" + qtReason;
    }
}

IoResult QtSerialPort::open() {
    if (m_port->isOpen()) {
        return {};
    }
    const QString device = m_ports.deviceFor(m_number);
    if (device.isEmpty()) {
        return IoResult::Failure(ComPortText(m_number) + " names no system serial port");
    }
    const std::string where = ComPortText(m_number) + " (" + device.toStdString() + "): ";
    if (auto refusal = configure(m_settings)) {
        return IoResult::Failure(where + *refusal);
    }
    m_port->setPortName(device);
    // The reader is opened first: the port takes the device for exclusive
    // use, which refuses every later opening.
    m_reader = m_inputThread != nullptr ? OpenReader(device) : -1;
    m_ownReader = m_reader >= 0;
    if (!m_port->open(m_ownReader ? QIODevice::WriteOnly : QIODevice::ReadWrite)) {
        dropReader();
        return IoResult::Failure(where + openFailure(device));
    }
    if (!LockDeviceExclusively(descriptor())) {
        close();
        return IoResult::Failure(where + "the device is in use by another program");
    }
    if (m_ownReader && !EnableReceiver(m_reader)) {
        close();
        return IoResult::Failure(where + "the device's receiver cannot be switched on");
    }
    // Counts from before the opening are none of this port's business.
    m_lineErrors = ReadLineErrorCounts(descriptor());
    m_eventCode = 0;
    m_readFailed = false;
    ++m_openings;
    if (m_ownReader) {
        m_inputThread->watch(m_reader, [this](short revents) { readerReady(revents); });
    }
    return {};
}

void QtSerialPort::close() {
    dropReader();
    m_ownReader = false;
    if (m_port->isOpen()) {
        m_port->close();
    }
    m_lineErrors.reset();
}

void QtSerialPort::dropReader() {
    if (m_reader >= 0) {
        m_inputThread->unwatch(m_reader);
        CloseReader(m_reader);
        m_reader = -1;
    }
}

void QtSerialPort::loseLater() {
    dropReader();
    QMetaObject::invokeMethod(
        this,
        [this, opening = m_openings] {
            // A port closed or opened again meanwhile has nothing to lose.
            if (opening == m_openings && m_port->isOpen()) {
                close();
                Q_EMIT portLost(m_index);
            }
        },
        Qt::QueuedConnection);
}

void QtSerialPort::readerReady(short revents) {
#ifdef Q_OS_UNIX
    // A line that hung up reads as ready too, but brings nothing to handle.
    if ((revents & POLLIN) != 0 && (revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) {
        deliverInput();
    }
    if (m_reader >= 0 && (m_readFailed || (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)) {
        loseLater();
    }
#else
    static_cast<void>(revents);
#endif
}

void QtSerialPort::deliverInput() {
    // The line conditions go first: the damaged characters are among those
    // that just arrived, so the reception drops the line they belong to and
    // starts clean with what follows.
    raiseLineConditions();
    if (m_port->isOpen() && (m_ownReader || m_port->bytesAvailable() > 0)) {
        m_eventCode = kEventReceive;
        raiseEvent();
    }
}

void QtSerialPort::raiseLineConditions() {
    if (!m_lineErrors) {
        return;
    }
    const std::optional<LineErrorCounts> now = ReadLineErrorCounts(descriptor());
    if (!now) {
        return;
    }
    const std::vector<int> codes = ChangedLineConditions(*m_lineErrors, *now);
    m_lineErrors = now;
    for (const int code : codes) {
        if (!m_port->isOpen()) {
            return;
        }
        m_eventCode = code;
        raiseEvent();
    }
}

std::string QtSerialPort::readInput() {
    if (!m_port->isOpen()) {
        return {};
    }
    if (m_ownReader) {
        if (m_reader < 0) {
            return {};
        }
        std::optional<std::string> waiting = ReadNow(m_reader, kReadBufferLimit);
        m_readFailed = !waiting;
        return waiting ? std::move(*waiting) : std::string();
    }
    const QByteArray waiting = m_port->readAll();
    return std::string(waiting.constData(), static_cast<std::size_t>(waiting.size()));
}

IoResult QtSerialPort::writeOutput(std::string_view text) {
    if (!m_port->isOpen()) {
        return IoResult::Failure(ComPortText(m_number) + " is not open");
    }
    const std::int64_t waiting =
        m_port->bytesToWrite() + m_handedOver + DriverOutputQueue(descriptor());
    if (waiting > kMaxWaitingOutput) {
        return IoResult::Failure(ComPortText(m_number) + " output blocked: " +
                                 std::to_string(waiting) + " bytes still waiting to be sent");
    }
    // Straight to the device when nothing of ours waits before it, so the
    // heading leaves within this call; what the device cannot take now waits
    // in the port's buffer and goes when the line has room.
    if (m_port->bytesToWrite() == 0 && m_handedOver == 0) {
        const std::optional<std::size_t> written = WriteNow(descriptor(), text);
        if (!written) {
            if (m_home.isCurrent()) {
                close();
                Q_EMIT portLost(m_index);
            } else {
                loseLater();
            }
            return IoResult::Failure(ComPortText(m_number) + " was lost while sending");
        }
        text.remove_prefix(*written);
        if (text.empty()) {
            return {};
        }
    }
    if (!m_home.isCurrent()) {
        // QSerialPort's buffer belongs to the Qt thread: the rest goes
        // there, after whatever was handed over before it.
        m_handedOver += static_cast<std::int64_t>(text.size());
        QMetaObject::invokeMethod(
            this,
            [this, rest = std::string(text), opening = m_openings] {
                m_handedOver -= static_cast<std::int64_t>(rest.size());
                if (opening == m_openings && m_port->isOpen()) {
                    static_cast<void>(writeBuffered(rest));
                }
            },
            Qt::QueuedConnection);
        return {};
    }
    return writeBuffered(text);
}

IoResult QtSerialPort::writeBuffered(std::string_view text) {
    const auto size = static_cast<qint64>(text.size());
    if (m_port->write(text.data(), size) != size) {
        return IoResult::Failure(ComPortText(m_number) +
                                 " output failed: " + m_port->errorString().toStdString());
    }
    // Hand the bytes on now rather than when the event loop next runs, but
    // only when the device takes them: a full device would be reported by Qt
    // as a resource error, which means a lost port here.
    if (DeviceAcceptsOutput(descriptor())) {
        m_port->flush();
    }
    if (!m_port->isOpen()) {
        return IoResult::Failure(ComPortText(m_number) + " was lost while sending");
    }
    return {};
}

bool QtSerialPort::inputWaiting() const {
    if (m_ownReader) {
        return m_port->isOpen() && DeviceHasInput(m_reader);
    }
    return m_port->isOpen() && (m_port->bytesAvailable() > 0 || DeviceHasInput(descriptor()));
}

void QtSerialPort::handleError(int error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        return;
    }
    if (!m_port->isOpen()) {
        return;
    }
    // A vanished device (a receiver unplugged) keeps reporting its error in a
    // tight loop for as long as the port stays open.
    close();
    Q_EMIT portLost(m_index);
}

}  // namespace bivane
