#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <cstdint>

namespace bivane {

// What the Qt serial port asks of an open device beyond QSerialPort, on the
// device's descriptor. On systems without POSIX descriptors (and for a
// descriptor below 0) each answers so that the port relies on QSerialPort
// alone.

// True when a write would take at least one byte now, so that handing bytes
// to the device cannot end in "try again".
bool DeviceAcceptsOutput(int descriptor);

// Writes what the device takes of `text` now, without waiting: the count
// written (0 when it takes nothing now), or nothing when the write failed.
std::optional<std::size_t> WriteNow(int descriptor, std::string_view text);

// True when characters wait to be read, so that a read would take some now.
bool DeviceHasInput(int descriptor);

// Bytes the driver still holds for sending, 0 where it cannot tell.
std::int64_t DriverOutputQueue(int descriptor);

// Takes the device for this program alone among programs that honour
// advisory locks; false when another one holds it.
bool LockDeviceExclusively(int descriptor);

// True when this process may open `device` for reading and writing.
bool MayReadAndWrite(const QString& device);

// A second descriptor on `device` that only reads, does not wait and does
// not make the device the process's terminal; -1 where there is none. It
// must be opened before the port takes the device for exclusive use.
int OpenReader(const QString& device);
void CloseReader(int descriptor);

// Lets the device's receiver take characters in (a port opened only for
// writing has it off); false when the device refuses.
bool EnableReceiver(int descriptor);

// What waits to be read, at most `limit` bytes, without waiting; nothing
// when the read fails before any byte (the device reports an error).
std::optional<std::string> ReadNow(int descriptor, std::size_t limit);

}  // namespace bivane
