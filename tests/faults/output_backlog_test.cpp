// Nobody reads the heading output. What waits for a reader stays within the
// port's bound and the pseudo-terminal's own buffer, the window takes every
// sentence meanwhile, and the output resumes with the next heading once a
// reader comes.
//
// By default the epochs follow each other as fast as the window shows them,
// until well past the bound. BIVANE_BACKLOG_SECONDS and BIVANE_BACKLOG_RATE
// (epochs a second) run it for a set time at a set pace instead, as on a
// vessel:
//   BIVANE_BACKLOG_SECONDS=30 BIVANE_BACKLOG_RATE=10 fault_tests
//       --gtest_filter='OutputBacklog.*'

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "serial/qt_serial_port.h"
#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test_support::ProcessEventsFor;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

constexpr std::string_view kSentence = "$GPHDT,123.4,T*31\r\n";

double environmentNumber(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atof(text) : 0;
}

// Characters a pseudo-terminal holds for a reader that never comes, written
// `chunk` bytes at a time: a sentence at a time as the program writes them
// holds a little less than a byte at a time, the most it can hold. The driver
// moves characters on in the background, so it is given time to before the
// line counts as full.
std::size_t unreadLineCapacity(std::size_t chunk) {
    PseudoTerminal line;
    const int device = line.slaveDescriptor();
    ::fcntl(device, F_SETFL, ::fcntl(device, F_GETFL) | O_NONBLOCK);
    const std::string bytes(chunk, 'x');
    std::size_t held = 0;
    for (int round = 0; round < 5; ++round) {
        for (;;) {
            const ssize_t written = ::write(device, bytes.data(), bytes.size());
            if (written <= 0) {
                break;
            }
            held += static_cast<std::size_t>(written);
        }
        std::this_thread::sleep_for(20ms);
    }
    return held;
}

using OutputBacklog = WindowOnLines;

TEST_F(OutputBacklog, StaysBoundedWhileNobodyReadsAndResumesWhenAReaderComes) {
    const double seconds = environmentNumber("BIVANE_BACKLOG_SECONDS");
    const double rate = environmentNumber("BIVANE_BACKLOG_RATE");
    const std::size_t capacity = unreadLineCapacity(kSentence.size());
    const std::size_t bound = std::max(capacity, unreadLineCapacity(1)) +
                              static_cast<std::size_t>(kMaxWaitingOutput) + kSentence.size();
    // Without a set time: on until the bound has long been reached.
    const std::size_t enough = bound + 100 * kSentence.size();

    start();
    ASSERT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    std::string offered;
    int n = 0;
    Clock::duration slowest{};
    const auto begin = Clock::now();
    const auto running = [&] {
        if (seconds > 0) {
            return Clock::now() - begin < std::chrono::duration<double>(seconds);
        }
        return offered.size() < enough && Clock::now() - begin < 60s;
    };
    while (running()) {
        if (rate > 0) {
            const auto due = begin + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(n / rate));
            ProcessEventsUntil([&] { return Clock::now() >= due; }, 10s);
        }
        const auto sent = Clock::now();
        ASSERT_TRUE(sendEpoch(n)) << "epoch " << n << " was not shown";
        slowest = std::max(slowest, Clock::now() - sent);
        offered += label("lblHDT") + "\r\n";
        ++n;
    }
    const auto unread = Clock::now() - begin;
    const std::string errorLine = label("lblError");

    // The reader comes and takes everything that waits.
    std::string arrived;
    auto lastArrival = Clock::now();
    ProcessEventsUntil(
        [&] {
            const std::string more = heading.receive(0ms);
            if (!more.empty()) {
                arrived += more;
                lastArrival = Clock::now();
            }
            return Clock::now() - lastArrival > 300ms;
        },
        30s);
    const auto micros = [](Clock::duration span) {
        return std::chrono::duration_cast<std::chrono::microseconds>(span).count();
    };
    std::cout << "[ figures  ] " << n << " epochs in " << micros(unread) / 1000
              << " ms, slowest shown after " << micros(slowest) << " us; " << offered.size()
              << " bytes of headings offered, " << arrived.size() << " arrived; the line holds "
              << capacity << ", the bound is " << bound << "\n"
              << "[ figures  ] error line: " << errorLine << "\n";

    EXPECT_LT(slowest, 1s) << "the window waited for the output";
    EXPECT_EQ(offered.compare(0, arrived.size(), arrived), 0)
        << "what arrived is not the first headings, whole and in order";
    EXPECT_LE(arrived.size(), bound);
    // Nothing is refused while the line itself has room.
    EXPECT_GE(arrived.size(), std::min(offered.size(), capacity));
    if (offered.size() > bound) {
        EXPECT_NE(errorLine.find("Com port  13 output blocked: "), std::string::npos) << errorLine;
    } else {
        EXPECT_EQ(arrived, offered) << "there was room for every heading";
    }

    // The next epochs' headings go out at once, and the window shows them
    // and their fixes again.
    EXPECT_TRUE(headingsFollow(n, n + 2));
    EXPECT_EQ(label("lblHDT").substr(7, 5), label("lblHeading"));
    EXPECT_EQ(label("lblUTC", 2), EpochTime(n + 2));
    EXPECT_EQ(openPorts(), "1 2 3");
}

}  // namespace
}  // namespace bivane::test
