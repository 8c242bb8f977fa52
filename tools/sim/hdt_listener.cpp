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

namespace {

// The heading field of a heading sentence: digits with an optional decimal
// part, 0 to `highest`.
std::optional<double> headingField(std::string_view number, double highest, bool lastIncluded) {
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
    if (!(heading >= 0 && (heading < highest || (lastIncluded && heading == highest)))) {
        return std::nullopt;
    }
    return heading;
}

// The fields between "$ccXXX," and "*hh\r\n" of a well-formed sentence of
// `address` with its right checksum, or nothing.
std::optional<std::string_view> sentenceBody(std::string_view line, std::string_view address) {
    if (line.size() < 7 + 5 || line[0] != '$' || !isUpper(line[1]) || !isUpper(line[2]) ||
        line.substr(3, 3) != address || line[6] != ',' || !line.ends_with("\r\n") ||
        line[line.size() - 5] != '*' || !NmeaChecksumMatches(line)) {
        return std::nullopt;
    }
    return line.substr(7, line.size() - 7 - 5);
}

}  // namespace

std::optional<double> ParseHdtLine(std::string_view line) {
    const auto body = sentenceBody(line, "HDT");
    if (!body || !body->ends_with(",T")) {
        return std::nullopt;
    }
    return headingField(body->substr(0, body->size() - 2), 360, true);
}

std::optional<ThsLine> ParseThsLine(std::string_view line) {
    const auto body = sentenceBody(line, "THS");
    if (!body) {
        return std::nullopt;
    }
    if (*body == ",V") {
        return ThsLine{};
    }
    if (!body->ends_with(",A")) {
        return std::nullopt;
    }
    const auto heading = headingField(body->substr(0, body->size() - 2), 360, false);
    if (!heading) {
        return std::nullopt;
    }
    return ThsLine{heading};
}

HdtListener::HdtListener(int device, EpochLedger& ledger)
    : m_device(device), m_wake(eventfd(0, EFD_CLOEXEC)), m_ledger(ledger) {
    if (m_wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

HdtListener::~HdtListener() {
    stop();
    close(m_wake);
}

void HdtListener::start() {
    m_thread = std::thread([this] { run(); });
}

void HdtListener::stop() {
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
    SentenceKind kind = SentenceKind::Hdt;
    std::optional<double> heading = ParseHdtLine(line);
    if (!heading) {
        const std::optional<ThsLine> ths = ParseThsLine(line);
        if (!ths) {
            ++m_results.invalid;
            return;
        }
        kind = SentenceKind::Ths;
        heading = ths->heading;
        ++(heading ? m_results.thsValid : m_results.thsInvalid);
    }
    const Scoring scoring = m_ledger.score(kind, heading.has_value(), arrival);
    if (!heading || scoring.outcome == Scoring::Outcome::NotScored) {
        return;
    }
    if (scoring.outcome != Scoring::Outcome::Paired) {
        ++m_results.mispaired;
        m_results.unpaired += kind == SentenceKind::Hdt ? 1 : 0;
    }
    if (scoring.outcome == Scoring::Outcome::NoEpoch) {
        return;
    }
    m_results.headingErrors.push_back(std::fabs(AngleDifference(*heading, scoring.trueHeading)));
    m_results.latenciesMs.push_back(scoring.latencyMs);
}

}  // namespace bivane::sim
