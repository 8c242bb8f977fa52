#pragma once

#include <istream>
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
};

// A capture file: one port event per line. "P>CHARS" is a receive event on
// port P bringing CHARS, written with the escapes \r \n \t \\ and \xHH;
// "P#CODE" is a line condition with that event code. Empty lines and lines
// starting with ";" are ignored. Throws std::runtime_error naming the line
// for anything else.
std::vector<PortEvent> ReadCapture(std::istream& in);

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
