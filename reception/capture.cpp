#include "reception/capture.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "nmea/gga.h"
#include "nmea/number_reader.h"
#include "nmea/utc_time.h"

namespace bivane {
namespace {

std::string unescape(std::string_view text, std::size_t lineNumber) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const auto bad = [&] {
            return std::runtime_error("line " + std::to_string(lineNumber) +
                                      ": unknown escape in the characters");
        };
        if (++i >= text.size()) {
            throw bad();
        }
        switch (text[i]) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            case 'x': {
                const int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    throw bad();
                }
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                throw bad();
        }
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The lines of one receiver's log, grouped so that each group ends with a
// GGA line; `time` is that GGA's time of day.
struct Group {
    std::vector<std::string_view> lines;
    std::int64_t time = 0;
};

// The time of day of a GGA line, read by the program's own decoder.
std::optional<std::int64_t> ggaTime(std::string_view line) {
    DiscardedMessages silent;
    GgaRecord fix;
    ExtractGGA(line, fix, silent);
    return fix.TimeOfDayMs;
}

std::vector<Group> groupByGga(std::string_view log) {
    std::vector<Group> groups(1);
    std::int64_t lastTime = 0;
    for (std::string_view line : splitLines(log)) {
        if (line.empty()) {
            continue;
        }
        groups.back().lines.push_back(line);
        if (IsGgaSentence(line)) {
            // A GGA whose time cannot be read keeps its place in its own file.
            lastTime = ggaTime(line).value_or(lastTime);
            groups.back().time = lastTime;
            groups.emplace_back();
        } else {
            groups.back().time = lastTime;
        }
    }
    if (groups.back().lines.empty()) {
        groups.pop_back();
    }
    return groups;
}

void appendGroup(std::vector<PortEvent>& events, int port, const Group& group) {
    for (std::string_view line : group.lines) {
        PortEvent event;
        event.port = port;
        event.characters.assign(line);
        event.characters += "\r\n";
        events.push_back(std::move(event));
    }
}

// "2026-12-07T14:49:47.123456Z"
constexpr std::size_t kArrivalTimeLength = 27;

// The number of `count` digits at `position`, or -1.
int digits(std::string_view text, std::size_t position, std::size_t count) {
    int value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<std::int64_t> readArrivalTime(std::string_view text) {
    using namespace std::chrono;
    if (text.size() != kArrivalTimeLength || text.substr(4, 1) != "-" || text.substr(7, 1) != "-" ||
        text[10] != 'T' || text[13] != ':' || text[16] != ':' || text[19] != '.' ||
        text[26] != 'Z') {
        return std::nullopt;
    }
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    const int micro = digits(text, 20, 6);
    const year_month_day date{year(digits(text, 0, 4)),
                              month(static_cast<unsigned>(digits(text, 5, 2))),
                              day(static_cast<unsigned>(digits(text, 8, 2)))};
    if (!date.ok() || digits(text, 0, 4) < 0 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59 || micro < 0) {
        return std::nullopt;
    }
    const auto time =
        sys_days(date) + hours(hour) + minutes(minute) + seconds(second) + microseconds(micro);
    return duration_cast<microseconds>(time.time_since_epoch()).count();
}

}  // namespace

std::string ArrivalTimeText(std::int64_t microseconds) {
    using namespace std::chrono;
    const sys_time<std::chrono::microseconds> time{std::chrono::microseconds(microseconds)};
    const sys_days date = floor<days>(time);
    const year_month_day calendar{date};
    const hh_mm_ss<std::chrono::microseconds> of{time - date};
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%06lldZ",
                  static_cast<int>(calendar.year()), static_cast<unsigned>(calendar.month()),
                  static_cast<unsigned>(calendar.day()), static_cast<int>(of.hours().count()),
                  static_cast<int>(of.minutes().count()), static_cast<int>(of.seconds().count()),
                  static_cast<long long>(of.subseconds().count()));
    return text;
}

std::string CaptureLine(const PortEvent& event) {
    std::string line;
    if (event.arrivalUs) {
        line = '@' + ArrivalTimeText(*event.arrivalUs) + ' ';
    }
    line += static_cast<char>('0' + event.port);
    if (event.receive) {
        line += '>';
        line += EscapeCaptureText(event.characters);
    } else {
        line += '#';
        line += std::to_string(event.code);
    }
    line += '\n';
    return line;
}

std::vector<PortEvent> ReadCapture(std::istream& in) {
    std::vector<PortEvent> events;
    std::string line;
    for (std::size_t lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        const auto bad = [&](const char* problem) {
            return std::runtime_error("line " + std::to_string(lineNumber) + ": " + problem);
        };
        PortEvent event;
        std::string_view text = line;
        if (text.front() == '@') {
            const std::size_t space = text.find(' ');
            event.arrivalUs = readArrivalTime(text.substr(1, space - 1));
            if (space == std::string_view::npos || !event.arrivalUs) {
                throw bad(
                    "expected an arrival time such as @2026-12-07T14:49:47.123456Z and a "
                    "space");
            }
            text.remove_prefix(space + 1);
        }
        if (text.size() < 2 || text[0] < '1' || text[0] > '3') {
            throw bad("expected a port 1, 2 or 3 followed by '>' or '#'");
        }
        event.port = text[0] - '0';
        const std::string_view rest = text.substr(2);
        if (text[1] == '>') {
            event.characters = unescape(rest, lineNumber);
        } else if (text[1] == '#') {
            event.receive = false;
            auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), event.code);
            if (ec != std::errc{} || end != rest.data() + rest.size()) {
                throw bad("expected an event code after '#'");
            }
        } else {
            throw bad("expected '>' or '#' after the port");
        }
        events.push_back(std::move(event));
    }
    return events;
}

std::string EscapeCaptureText(std::string_view characters) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : characters) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (byte < 0x20 || byte >= 0x7F) {
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::vector<PortEvent> MergeReceiverLogs(std::string_view gps1Log, std::string_view gps2Log) {
    const std::vector<Group> gps1 = groupByGga(gps1Log);
    const std::vector<Group> gps2 = groupByGga(gps2Log);
    std::vector<PortEvent> events;
    std::size_t a = 0;
    std::size_t b = 0;
    while (a < gps1.size() || b < gps2.size()) {
        const bool takeGps1 =
            b == gps2.size() ||
            (a < gps1.size() && TimeDifferenceMs(gps1[a].time, gps2[b].time) <= 0);
        if (takeGps1) {
            appendGroup(events, 1, gps1[a++]);
        } else {
            appendGroup(events, 2, gps2[b++]);
        }
    }
    return events;
}

}  // namespace bivane
