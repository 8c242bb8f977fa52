#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/sim/epoch_ledger.h"

namespace bivane::sim {

// The heading of a well-formed HDT line ("$" + two-letter talker + "HDT," +
// heading + ",T*" + checksum + CR LF, heading digits with an optional
// decimal part, 0 to 360, checksum right), or nothing.
std::optional<double> ParseHdtLine(std::string_view line);

// A well-formed THS line: "$" + talker + "THS," + heading (as for HDT, below
// 360) + ",A*" + checksum + CR LF; or, for "no heading", an empty heading
// field and mode V. Other modes and mixtures are not taken.
struct ThsLine {
    std::optional<double> heading;  // empty with mode V
};
std::optional<ThsLine> ParseThsLine(std::string_view line);

// A well-formed ROT line: "$" + talker + "ROT," + rate (an optional "-",
// digits with an optional decimal part) + ",A*" + checksum + CR LF; or, for
// "no rate", an empty rate field and status V.
struct RotLine {
    std::optional<double> rate;  // degrees per minute; empty with status V
};
std::optional<RotLine> ParseRotLine(std::string_view line);

// What the listener saw.
struct ListenerResults {
    std::int64_t received = 0;    // lines that arrived
    std::int64_t invalid = 0;     // ... that are no good HDT, THS or ROT sentence
    std::int64_t unpaired = 0;    // good HDTs that found no epoch of their own
    std::int64_t mispaired = 0;   // good HDTs, and THS and ROT with a value, that
                                  // found no epoch of their own (unpaired ones too)
    std::int64_t thsValid = 0;    // THS with mode A
    std::int64_t thsInvalid = 0;  // THS with mode V
    std::int64_t rotValid = 0;    // ROT with status A
    std::int64_t rotInvalid = 0;  // ROT with status V
    std::vector<double> headingErrors;  // degrees, absolute, one per HDT and THS A scored
    std::vector<double> rateErrors;     // degrees per minute, absolute, one per ROT A scored
    std::vector<double> latenciesMs;    // one per sentence scored
};

// A TCP server to connect to.
struct TcpEndpoint {
    std::string host;  // a name or a numeric address
    int port = 0;
};

// A UDP port to receive datagrams on, on every local IPv4 address; 0: one
// that the system chooses.
struct UdpPort {
    int port = 0;
};

// Reads the heading output on its own thread, blocking in poll() so that the
// arrival times do not wait for the transmitting thread; cuts lines at line
// feeds, checks each and scores the good ones against the ledger: every HDT,
// and every THS and ROT with a value, that belongs to an epoch. The output is
// heard on a device (port 3), as a client of a TCP server, or as datagrams.
class HdtListener {
  public:
    // Reads `device`.
    HdtListener(int device, EpochLedger& ledger);
    // Connects to `server` (again and again until it accepts, and again after
    // it closes the connection) and reads what it sends.
    HdtListener(TcpEndpoint server, EpochLedger& ledger);
    // Receives datagrams on `port`, each holding whole lines. Throws
    // std::system_error when the port cannot be had.
    HdtListener(UdpPort port, EpochLedger& ledger);
    ~HdtListener();
    HdtListener(const HdtListener&) = delete;
    HdtListener& operator=(const HdtListener&) = delete;

    void start();
    // Reads what has already arrived, counts a last unfinished line as
    // invalid, and stops the thread.
    void stop();
    // True while the TCP connection stands; always true for the other sources.
    bool connected() const { return m_connected; }
    // The UDP port datagrams are received on.
    int udpPort() const;
    // Valid after stop().
    const ListenerResults& results() const { return m_results; }

  private:
    enum class Source { Device, TcpServer, Datagrams };

    void run();
    // Tries once to connect to the TCP server; false when that failed or a
    // stop came first.
    bool connectOnce();
    // Returns false when the source has no more to give now.
    bool readOnce();
    void takeBytes(const char* bytes, std::size_t count, SteadyTime arrival);
    // The end of what came in one piece (a datagram, a connection, the run):
    // a rest without line feed is an unfinished line, counted as invalid.
    void endOfPiece();
    void handleLine(std::string_view line, SteadyTime arrival);
    // True when a stop comes within `timeout`.
    bool stopWithin(int timeoutMs) const;

    Source m_source;
    int m_device = -1;
    TcpEndpoint m_server;
    int m_wake;
    std::atomic<bool> m_connected{true};
    EpochLedger& m_ledger;
    std::thread m_thread;
    std::string m_pending;
    ListenerResults m_results;
};

}  // namespace bivane::sim
