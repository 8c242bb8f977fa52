#include "tools/sim/transmitter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

#include "nmea/hdt.h"
#include "tools/sim/pty_device.h"
#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

struct Outcomes : TransmitObserver {
    void lastByteWriting(const OutgoingSentence&, SteadyTime) override { ++writing; }
    void sentenceDone(const OutgoingSentence& sentence, bool done, SteadyTime) override {
        (done ? written : abandoned).push_back(sentence.bytes);
    }
    int writing = 0;
    std::vector<std::string> written;
    std::vector<std::string> abandoned;
};

std::string numbered(int n) {
    return FinishSentence("$GPTXT," + std::to_string(n) + "," + std::string(80, 'x'));
}

// What the device holds, once nothing more has come for 100 ms: a pseudo-
// terminal hands written bytes on to its reader a moment later.
std::string readAvailable(int fd) {
    std::string text;
    char buffer[4096];
    pollfd readable{fd, POLLIN, 0};
    while (poll(&readable, 1, 100) > 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

void serviceUntilIdle(Transmitter& transmitter) {
    const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
    while (!transmitter.idle() && SteadyClock::now() < deadline) {
        transmitter.service(SteadyClock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TEST(Transmitter, AFullDeviceLosesSentencesButNeverStallsOrLeavesAHalfLine) {
    PtyDevice device;
    Outcomes outcomes;
    Transmitter transmitter({device.master()}, 0, outcomes);
    constexpr int kSentences = 3000;  // far more than a pseudo-terminal holds
    std::vector<std::string> lines;
    for (int n = 0; n < kSentences; ++n) {
        lines.push_back(numbered(n));
    }
    const SteadyTime now = SteadyClock::now();
    for (std::string& line : lines) {
        transmitter.enqueue(0, {.bytes = std::move(line),
                                .notBefore = now,
                                .giveUp = now + std::chrono::milliseconds(200)});
    }
    serviceUntilIdle(transmitter);
    ASSERT_TRUE(transmitter.idle()) << "nobody reads, yet everything is settled";
    EXPECT_GT(outcomes.abandoned.size(), 0u);
    EXPECT_GT(outcomes.written.size(), 0u);
    EXPECT_EQ(outcomes.written.size() + outcomes.abandoned.size(), std::size_t{kSentences});
    const std::size_t writtenWhileFull = outcomes.written.size();
    EXPECT_EQ(transmitter.abandoned(), static_cast<std::int64_t>(outcomes.abandoned.size()));

    // Once the program reads again, a half-written line is closed before the
    // next sentence, so that it cannot pass for a good one.
    const int reader = open(device.slaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string received = readAvailable(reader);
    const std::string last = numbered(kSentences);
    transmitter.enqueue(0, {.bytes = last,
                            .notBefore = SteadyClock::now(),
                            .giveUp = SteadyClock::now() + std::chrono::seconds(5)});
    serviceUntilIdle(transmitter);
    received += readAvailable(reader);
    close(reader);

    std::size_t good = 0;
    std::size_t broken = 0;
    for (std::size_t start = 0; start < received.size();) {
        const std::size_t end = received.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "an unfinished line at the end";
        const std::string line = received.substr(start, end + 1 - start);
        if (NmeaChecksumMatches(line)) {
            EXPECT_EQ(line, outcomes.written.at(good));
            ++good;
        } else {
            EXPECT_TRUE(line.ends_with("*\r\n")) << line;
            ++broken;
        }
        start = end + 1;
    }
    EXPECT_EQ(good, outcomes.written.size()) << "the last sentence included";
    EXPECT_LE(broken, 1u);
    EXPECT_EQ(outcomes.written.size(), writtenWhileFull + 1);
    EXPECT_TRUE(received.ends_with(last));
}

TEST(Transmitter, PacesCharactersAtTheBaudRate) {
    PtyDevice device;
    Outcomes outcomes;
    Transmitter transmitter({device.master()}, 4800, outcomes);
    const std::string sentence = numbered(1);  // 94 characters: 196 ms at 4800 baud
    const SteadyTime start = SteadyClock::now();
    const SteadyTime giveUp = start + std::chrono::seconds(1);
    transmitter.enqueue(0, {.bytes = sentence, .notBefore = start, .giveUp = giveUp});
    transmitter.enqueue(0, {.bytes = sentence, .notBefore = start, .giveUp = giveUp});
    const auto wake = transmitter.nextWake();
    ASSERT_TRUE(wake);
    EXPECT_LE(*wake, start);
    serviceUntilIdle(transmitter);
    const std::chrono::duration<double> took = SteadyClock::now() - start;
    // The last character is due 187 character times after the first; a busy
    // machine may only add to that.
    const double due = static_cast<double>(2 * sentence.size() - 1) / 480.0;
    EXPECT_GE(took.count(), due - 0.002);
    EXPECT_LE(took.count(), due + 0.1);
    EXPECT_EQ(outcomes.written.size(), 2u) << "a started sentence is finished";
    EXPECT_EQ(outcomes.writing, 2);
}

}  // namespace
}  // namespace bivane::sim
