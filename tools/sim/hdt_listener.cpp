#include "tools/sim/hdt_listener.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "nmea/hdt.h"
#include "tools/sim/sentence_text.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {
namespace {

// A line without a line feed this long is noise, not a sentence.
constexpr std::size_t kLongestLine = 512;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

}  // namespace

std::optional<double> ParseHdtLine(std::string_view line) {
    // "$GPHDT," + heading + ",T*hh\r\n"
    constexpr std::string_view kTail = ",T*";
    if (line.size() < 7 + 1 + kTail.size() + 4 || line[0] != '$' || !isUpper(line[1]) ||
        !isUpper(line[2]) || line.substr(3, 4) != "HDT," || !line.ends_with("\r\n") ||
        !NmeaChecksumMatches(line)) {
        return std::nullopt;
    }
    const std::string_view body = line.substr(7, line.size() - 7 - 4);
    if (!body.ends_with(kTail)) {
        return std::nullopt;
    }
    const std::string_view number = body.substr(0, body.size() - kTail.size());
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : number.substr(point + 1);
    const auto allDigits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
    };
    if (!allDigits(whole) || (point != std::string_view::npos && !allDigits(fraction))) {
        return std::nullopt;
    }
    double heading = 0;
    std::from_chars(number.data(), number.data() + number.size(), heading);
    if (!(heading >= 0 && heading <= 360)) {
        return std::nullopt;
    }
    return heading;
}

HdtListener::HdtListener(int device, EpochLedger& ledger)
    : m_device(device), m_wake(eventfd(0, EFD_CLOEXEC)), m_ledger(ledger) {
    if (m_wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

HdtListener::~HdtListener() {
    Stop();
    close(m_wake);
}

void HdtListener::Start() {
    m_thread = std::thread([this] { run(); });
}

void HdtListener::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    if (write(m_wake, &one, sizeof one) < 0) {
        // Nothing else can wake the thread; it would block for ever.
        std::terminate();
    }
    m_thread.join();
    if (!m_pending.empty()) {
        ++m_results.received;
        ++m_results.invalid;
        m_pending.clear();
    }
}

void HdtListener::run() {
    for (;;) {
        pollfd fds[2] = {{m_device, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            while (readOnce()) {
            }
            return;
        }
        if (fds[0].revents != 0 && !readOnce()) {
            // POLLHUP/POLLERR without data: nobody holds the other end. Wait
            // for a stop, or retry later.
            pollfd wake{m_wake, POLLIN, 0};
            poll(&wake, 1, 20);
        }
    }
}

bool HdtListener::readOnce() {
    char buffer[4096];
    const ssize_t n = read(m_device, buffer, sizeof buffer);
    const SteadyTime arrival = SteadyClock::now();
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        m_pending.push_back(buffer[i]);
        if (buffer[i] == '\n') {
            handleLine(m_pending, arrival);
            m_pending.clear();
        } else if (m_pending.size() > kLongestLine) {
            ++m_results.received;
            ++m_results.invalid;
            m_pending.clear();
        }
    }
    return true;
}

void HdtListener::handleLine(std::string_view line, SteadyTime arrival) {
    ++m_results.received;
    const std::optional<double> heading = ParseHdtLine(line);
    if (!heading) {
        ++m_results.invalid;
        return;
    }
    const std::optional<Pairing> pairing = m_ledger.Pair(arrival);
    if (!pairing) {
        ++m_results.unpaired;
        return;
    }
    if (pairing->replacesEarly) {
        // The HDT paired last was the epoch's early answer.
        m_results.headingErrors.pop_back();
        m_results.latenciesMs.pop_back();
        ++m_results.unpaired;
    }
    m_results.headingErrors.push_back(std::fabs(AngleDifference(*heading, pairing->trueHeading)));
    m_results.latenciesMs.push_back(pairing->latencyMs);
}

}  // namespace bivane::sim
