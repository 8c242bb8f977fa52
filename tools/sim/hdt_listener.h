#pragma once

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

// What the listener saw.
struct ListenerResults {
    std::int64_t received = 0;    // lines that arrived
    std::int64_t invalid = 0;     // ... that are no good HDT or THS sentence
    std::int64_t unpaired = 0;    // good HDTs that found no epoch of their own
    std::int64_t mispaired = 0;   // good HDTs and THS with a heading that found
                                  // no epoch of their own (unpaired ones too)
    std::int64_t thsValid = 0;    // THS with mode A
    std::int64_t thsInvalid = 0;  // THS with mode V
    std::vector<double> headingErrors;  // degrees, absolute, one per HDT and THS A scored
    std::vector<double> latenciesMs;    // one per sentence scored
};

// Reads the heading output on its own thread, blocking in poll() so that the
// arrival times do not wait for the transmitting thread; cuts lines at line
// feeds, checks each and scores the good ones against the ledger: every HDT
// and every THS with a heading that belongs to an epoch.
class HdtListener {
  public:
    HdtListener(int device, EpochLedger& ledger);
    ~HdtListener();
    HdtListener(const HdtListener&) = delete;
    HdtListener& operator=(const HdtListener&) = delete;

    void start();
    // Reads what has already arrived, counts a last unfinished line as
    // invalid, and stops the thread.
    void stop();
    // Valid after stop().
    const ListenerResults& results() const { return m_results; }

  private:
    void run();
    // Returns false when the device has no more to give now.
    bool readOnce();
    void handleLine(std::string_view line, SteadyTime arrival);

    int m_device;
    int m_wake;
    EpochLedger& m_ledger;
    std::thread m_thread;
    std::string m_pending;
    ListenerResults m_results;
};

}  // namespace bivane::sim
