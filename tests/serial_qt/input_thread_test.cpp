// The input thread on a pipe: what it hands to a handler, what it keeps back
// for a quiet moment, and what it never touches again.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "serial/input_thread.h"

namespace bivane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class PortInputThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
        lock.lock();  // as the Qt thread holds it
    }
    void TearDown() override {
        thread.reset();
        lock.unlock();
        ::close(pipe[0]);
        ::close(pipe[1]);
    }
    // Lets go of the lock for `span`, as the event loop does while it sleeps.
    void sleepFor(Clock::duration span) {
        lock.unlock();
        std::this_thread::sleep_for(span);
        lock.lock();
    }
    void send() { ASSERT_EQ(::write(pipe[1], "x", 1), 1); }

    int pipe[2] = {-1, -1};
    EngineLock lock;
    std::unique_ptr<PortInputThread> thread = std::make_unique<PortInputThread>(lock);
    std::vector<Clock::time_point> arrivals;  // guarded by the lock
    std::vector<Clock::time_point> quiet;
};

TEST_F(PortInputThreadTest, QuietCallsWaitForAPauseButNotForeverAndUnwatchedInputIsLeftAlone) {
    sleepFor(20ms);  // the thread already waits when the descriptor is watched
    thread->watch(pipe[0], [this](short) {
        char drain[64];
        while (::read(pipe[0], drain, sizeof drain) > 0) {
        }
        arrivals.push_back(Clock::now());
        thread->whenQuiet([this] { quiet.push_back(Clock::now()); });
    });
    // A flood, a character every millisecond for 150 ms: the waiting call
    // still runs, at the latest when it has waited its longest.
    const auto floodEnd = Clock::now() + 150ms;
    while (Clock::now() < floodEnd) {
        send();
        sleepFor(1ms);
    }
    sleepFor(100ms);
    ASSERT_GE(arrivals.size(), 20U);
    ASSERT_GE(quiet.size(), 2U) << "one during the flood, one after it";
    EXPECT_LT(quiet.front() - arrivals.front(), PortInputThread::kLongestDeferral + 60ms);
    EXPECT_LT(quiet.front(), arrivals.back()) << "ran while the flood went on";
    // One character alone: its call comes with the pause, not before it
    // (the thread notes the input a moment before the handler does), nor
    // at the latest.
    send();
    sleepFor(100ms);
    EXPECT_GE(quiet.back() - arrivals.back(), PortInputThread::kQuietMs - 1ms);
    EXPECT_LT(quiet.back() - arrivals.back(), PortInputThread::kLongestDeferral * 3 / 4);

    // Gone from the watch: its characters are no handler's business.
    const std::size_t before = arrivals.size();
    thread->unwatch(pipe[0]);
    send();
    sleepFor(50ms);
    EXPECT_EQ(arrivals.size(), before);
}

// A window that goes takes its call back; one still waiting when the
// thread ends never runs: its owner may be gone.
TEST_F(PortInputThreadTest, AQuietCallTakenBackOrLeftAtTheEndNeverRuns) {
    bool takenBack = false;
    bool leftAtTheEnd = false;
    thread->watch(pipe[0], [this](short) {
        char drain[64];
        while (::read(pipe[0], drain, sizeof drain) > 0) {
        }
    });
    thread->whenQuiet([&] { takenBack = true; });
    thread->whenQuiet(nullptr);
    send();
    sleepFor(PortInputThread::kLongestDeferral + 20ms);
    EXPECT_FALSE(takenBack);
    thread->whenQuiet([&] { leftAtTheEnd = true; });
    std::this_thread::sleep_for(PortInputThread::kLongestDeferral + 20ms);  // overdue
    thread.reset();
    EXPECT_FALSE(leftAtTheEnd);
}

// The window lets go of the lock while it paints; a paint within a paint
// must not let go twice, nor take it twice after.
TEST(EngineLock, ReleasedLetsGoOnlyOfALockHeldHereAndTakesItBackOnce) {
    EngineLock lock;
    lock.lock();
    {
        const EngineLock::Released outer(&lock);
        EXPECT_FALSE(lock.heldHere());
        std::thread([&] {
            lock.lock();  // a port event gets in meanwhile
            lock.unlock();
        }).join();
        const EngineLock::Released inner(&lock);
    }
    EXPECT_TRUE(lock.heldHere());
    std::atomic<bool> in{false};
    std::thread other([&] {
        lock.lock();
        in = true;
        lock.unlock();
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(in) << "held again once the outer one ended";
    lock.unlock();
    other.join();
    EXPECT_TRUE(in);
}

}  // namespace
}  // namespace bivane
