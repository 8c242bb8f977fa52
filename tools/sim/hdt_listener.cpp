#include "tools/sim/hdt_listener.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
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

std::optional<RotLine> ParseRotLine(std::string_view line) {
    const auto body = sentenceBody(line, "ROT");
    if (!body) {
        return std::nullopt;
    }
    if (*body == ",V") {
        return RotLine{};
    }
    if (!body->ends_with(",A")) {
        return std::nullopt;
    }
    const std::string_view number = body->substr(0, body->size() - 2);
    const bool negative = number.starts_with('-');
    const auto magnitude = headingField(number.substr(negative ? 1 : 0),
                                        std::numeric_limits<double>::max(), true);
    if (!magnitude) {
        return std::nullopt;
    }
    return RotLine{negative ? -*magnitude : *magnitude};
}

HdtListener::HdtListener(int device, EpochLedger& ledger)
    : m_source(Source::Device), m_device(device), m_wake(eventfd(0, EFD_CLOEXEC)),
      m_ledger(ledger) {
    if (m_wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

HdtListener::HdtListener(TcpEndpoint server, EpochLedger& ledger) : HdtListener(-1, ledger) {
    m_source = Source::TcpServer;
    m_server = std::move(server);
    m_connected = false;
}

HdtListener::HdtListener(UdpPort port, EpochLedger& ledger) : HdtListener(-1, ledger) {
    m_source = Source::Datagrams;
    m_device = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // Every local address: the loopback one, and broadcasts to the subnet.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<std::uint16_t>(port.port));
    if (m_device < 0 ||
        bind(m_device, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // The delegated constructor has finished: the destructor closes what
        // is open.
        throw std::system_error(errno, std::generic_category(),
                                "UDP port " + std::to_string(port.port));
    }
}

HdtListener::~HdtListener() {
    stop();
    close(m_wake);
    if (m_source != Source::Device && m_device >= 0) {
        close(m_device);
    }
}

int HdtListener::udpPort() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (m_source != Source::Datagrams ||
        getsockname(m_device, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
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
    endOfPiece();
}

void HdtListener::endOfPiece() {
    if (!m_pending.empty()) {
        ++m_results.received;
        ++m_results.invalid;
        m_pending.clear();
    }
}

bool HdtListener::stopWithin(int timeoutMs) const {
    pollfd wake{m_wake, POLLIN, 0};
    return poll(&wake, 1, timeoutMs) > 0;
}

bool HdtListener::connectOnce() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(m_server.host.c_str(), std::to_string(m_server.port).c_str(), &hints,
                    &found) != 0) {
        return false;
    }
    for (const addrinfo* entry = found; entry != nullptr && m_device < 0; entry = entry->ai_next) {
        const int fd = socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                              entry->ai_protocol);
        if (fd < 0) {
            continue;
        }
        // Not blocking: a stop must not wait for a server that does not answer.
        if (connect(fd, entry->ai_addr, entry->ai_addrlen) == 0) {
            m_device = fd;
        } else if (errno == EINPROGRESS) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {m_wake, POLLIN, 0}};
            int error = 0;
            socklen_t size = sizeof error;
            if (poll(fds, 2, -1) > 0 && fds[1].revents == 0 &&
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) {
                m_device = fd;
            }
        }
        if (m_device != fd) {
            close(fd);
        }
    }
    freeaddrinfo(found);
    m_connected = m_device >= 0;
    return m_connected;
}

void HdtListener::run() {
    // How long to wait before connecting again.
    constexpr int kRetryMs = 50;
    for (;;) {
        if (m_source == Source::TcpServer && m_device < 0 && !connectOnce()) {
            if (stopWithin(kRetryMs)) {
                return;
            }
            continue;
        }
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
        if (fds[0].revents == 0 || readOnce()) {
            continue;
        }
        if (m_source == Source::TcpServer) {
            // The server closed the connection: what it left unfinished is
            // lost; connect again (which tells connected()).
            endOfPiece();
            close(m_device);
            m_device = -1;
        } else if (stopWithin(20)) {
            // POLLHUP/POLLERR without data: nobody holds the other end.
            while (readOnce()) {
            }
            return;
        }
    }
}

bool HdtListener::readOnce() {
    // A datagram whole: the largest one UDP carries.
    char buffer[65536];
    const ssize_t n = m_source == Source::Datagrams
                          ? recv(m_device, buffer, sizeof buffer, MSG_DONTWAIT)
                          : read(m_device, buffer, sizeof buffer);
    const SteadyTime arrival = SteadyClock::now();
    if (n < 0) {
        return errno == EINTR;
    }
    if (n == 0 && m_source != Source::Datagrams) {
        return false;
    }
    takeBytes(buffer, static_cast<std::size_t>(n), arrival);
    if (m_source == Source::Datagrams) {
        endOfPiece();
    }
    return true;
}

void HdtListener::takeBytes(const char* bytes, std::size_t count, SteadyTime arrival) {
    for (std::size_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        m_pending.push_back(c);
        if (c == '\n') {
            handleLine(m_pending, arrival);
            m_pending.clear();
        } else if (m_pending.size() > kLongestLine) {
            endOfPiece();
        }
    }
}

void HdtListener::handleLine(std::string_view line, SteadyTime arrival) {
    ++m_results.received;
    SentenceKind kind = SentenceKind::Hdt;
    // The heading, or the rate of turn of a ROT.
    std::optional<double> value;
    if (const std::optional<double> hdt = ParseHdtLine(line)) {
        value = hdt;
    } else if (const std::optional<ThsLine> ths = ParseThsLine(line)) {
        kind = SentenceKind::Ths;
        value = ths->heading;
        ++(value ? m_results.thsValid : m_results.thsInvalid);
    } else if (const std::optional<RotLine> rot = ParseRotLine(line)) {
        kind = SentenceKind::Rot;
        value = rot->rate;
        ++(value ? m_results.rotValid : m_results.rotInvalid);
    } else {
        ++m_results.invalid;
        return;
    }
    const Scoring scoring = m_ledger.score(kind, value.has_value(), arrival);
    if (!value || scoring.outcome == Scoring::Outcome::NotScored) {
        return;
    }
    if (scoring.outcome != Scoring::Outcome::Paired) {
        ++m_results.mispaired;
        m_results.unpaired += kind == SentenceKind::Hdt ? 1 : 0;
    }
    if (scoring.outcome == Scoring::Outcome::NoEpoch) {
        return;
    }
    if (kind == SentenceKind::Rot) {
        m_results.rateErrors.push_back(std::fabs(*value - scoring.truth.rateOfTurn));
    } else {
        m_results.headingErrors.push_back(
            std::fabs(AngleDifference(*value, scoring.truth.heading)));
    }
    m_results.latenciesMs.push_back(scoring.latencyMs);
}

}  // namespace bivane::sim
