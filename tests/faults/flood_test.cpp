// Two megabytes of random bytes on each receiver's port, as fast as the
// window takes them: it stays up, its memory does not grow with what it is
// fed, and the next good sentences give headings.

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <fstream>
#include <iostream>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/faults/window_on_lines.h"

#if defined(__SANITIZE_ADDRESS__)
#define BIVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BIVANE_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef BIVANE_ADDRESS_SANITIZER
// The sanitizer's allocator answers this; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsFor;
using test_support::ProcessEventsUntil;

constexpr std::size_t kMegabyte = 1024 * 1024;

// Bytes the heap holds for the program now (freed blocks that the address
// sanitizer keeps in quarantine do not count).
long liveHeapBytes() {
#ifdef BIVANE_ADDRESS_SANITIZER
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 heap = ::mallinfo2();
    return static_cast<long>(heap.uordblks + heap.hblkhd);
#endif
}

// Writes bytes onto a line from a thread of its own while the window reads
// them in the test's thread: the line's writer tries again at once when the
// line is full, so the bytes go as fast as the window takes them.
class FloodWriter {
  public:
    FloodWriter(test_support::PseudoTerminal& line, std::vector<char> bytes)
        : m_bytes(std::move(bytes)), m_writer([this, &line] {
              constexpr std::size_t kChunk = 16 * 1024;
              for (std::size_t at = 0; at < m_bytes.size(); at += kChunk) {
                  const std::size_t size = std::min(kChunk, m_bytes.size() - at);
                  line.send(std::string_view(m_bytes.data() + at, size));
                  m_sent += size;
              }
              m_done = true;
          }) {}
    ~FloodWriter() { m_writer.join(); }
    FloodWriter(const FloodWriter&) = delete;
    FloodWriter& operator=(const FloodWriter&) = delete;

    std::size_t sent() const { return m_sent; }
    bool done() const { return m_done; }

  private:
    const std::vector<char> m_bytes;
    std::atomic<std::size_t> m_sent{0};
    std::atomic<bool> m_done{false};
    std::thread m_writer;
};

// Resident memory of this process, bytes.
long residentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

// `count` random bytes; without line feeds when `lineFeeds` is false.
std::vector<char> randomBytes(std::size_t count, unsigned seed, bool lineFeeds) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> bytes(count);
    for (char& c : bytes) {
        do {
            c = static_cast<char>(byte(random));
        } while (!lineFeeds && c == '\n');
    }
    return bytes;
}

using Flood = WindowOnLines;

TEST_F(Flood, RandomBytesAtFullSpeedCostNoMemoryAndGoodSentencesFollowedByHeadings) {
    start();
    ASSERT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();

    long heapAtFirstMegabyte = -1;
    long residentAtFirstMegabyte = -1;
    long heapGrowth = 0;
    long residentGrowth = 0;
    const auto started = std::chrono::steady_clock::now();
    std::chrono::duration<double> took{};
    {
        // GPS 1's bytes hold a line feed every 256 bytes or so, as a receiver
        // at the wrong speed sends; GPS 2's none at all, a line that never ends.
        FloodWriter gps1Flood(*gps1, randomBytes(2 * kMegabyte, 1, true));
        FloodWriter gps2Flood(gps2, randomBytes(2 * kMegabyte, 2, false));
        ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                if (heapAtFirstMegabyte < 0 && gps1Flood.sent() >= kMegabyte &&
                    gps2Flood.sent() >= kMegabyte) {
                    heapAtFirstMegabyte = liveHeapBytes();
                    residentAtFirstMegabyte = residentBytes();
                }
                return gps1Flood.done() && gps2Flood.done();
            },
            60s))
            << gps1Flood.sent() << " and " << gps2Flood.sent() << " bytes sent";
        took = std::chrono::steady_clock::now() - started;
        // What is still on the lines is read too; the floods' own bytes are
        // still held, as they were at the first megabyte.
        ProcessEventsFor(200ms);
        heapGrowth = liveHeapBytes() - heapAtFirstMegabyte;
        residentGrowth = residentBytes() - residentAtFirstMegabyte;
    }
    std::cout << "[ figures  ] 2 x 2 MB in " << took.count() << " s; from the first to the second "
              << "megabyte the heap grew by " << heapGrowth << " bytes, resident memory by "
              << residentGrowth << " bytes\n";
    // Kept, the second megabyte of both lines alone would be 2 MB.
    EXPECT_LT(heapGrowth, 256 * 1024);
#ifndef BIVANE_ADDRESS_SANITIZER
    EXPECT_LT(residentGrowth, 1024 * 1024);
#endif
    EXPECT_EQ(openPorts(), "1 2 3");

    // The flood's last characters may spoil the first sentence after it;
    // from the second on, every epoch gives its heading.
    const auto [first, second] = EpochPair(1);
    gps1->send(first);
    gps2.send(second);
    ProcessEventsFor(300ms);
    heading.receive(0ms);
    EXPECT_TRUE(headingsFollow(2, 4));
}

}  // namespace
}  // namespace bivane::test
