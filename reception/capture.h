#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bivane {

// One port event of a capture.
struct PortEvent {
    int port = 1;            // 1, 2 or 3
    bool receive = true;     // a receive event, else a line condition
    std::string characters;  // what a receive event brings
    int code = 0;            // the line condition's event code
    // When the event reached the program: microseconds since 1970-01-01
    // 00:00 UTC; nothing in a capture made without arrival times.
    std::optional<std::int64_t> arrivalUs;
};

// A capture file: one port event per line. "P>CHARS" is a receive event on
// port P bringing CHARS, written with the escapes \r \n \t \\ and \xHH;
// "P#CODE" is a line condition with that event code. Either may follow its
// arrival time, UTC to the microsecond, and one space:
//   @2026-12-07T14:49:47.123456Z 1>$GPGGA,144947.10,...\r\n
//   @2026-12-07T14:49:47.200310Z 2#1004
// A capture may time some events and not others. Empty lines and lines
// starting with ";" are ignored. Throws std::runtime_error naming the line
// for anything else.
std::vector<PortEvent> ReadCapture(std::istream& in);

// The capture line of `event`, arrival time first when it has one, ended by
// a line feed: ReadCapture reads it back as it was.
std::string CaptureLine(const PortEvent& event);

// "2026-12-07T14:49:47.123456Z": `microseconds` since 1970-01-01 00:00 UTC.
std::string ArrivalTimeText(std::int64_t microseconds);

// The text of a capture line's CHARS: the escapes above for CR, LF, tab,
// backslash and for every other byte outside printable ASCII.
std::string EscapeCaptureText(std::string_view characters);

// Two plain NMEA logs, one per receiver, merged into the port events a live
// run would have seen: each line (any line ending) becomes one receive event
// of its port with CR LF appended, the lines before a GGA travel with it, and
// the groups go in the order of their GGA times (GPS 1 first at equal
// times; times are compared the short way round midnight).
std::vector<PortEvent> MergeReceiverLogs(std::string_view gps1Log, std::string_view gps2Log);

}  // namespace bivane
