// The run's pauses: never shorter than asked, however the thread's earlier
// wake-ups have tuned how early a pause stops sleeping, and the thread's
// timer slack is its own again afterwards.

#include "platform/pause.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/prctl.h>

using namespace zolvu;
using Clock = std::chrono::steady_clock;

namespace {

TEST(Pause, NeverReturnsBeforeTheAskedTime) {
    // Repeated, so that later pauses stop sleeping early and wait out the
    // rest on the clock.
    for (int milliseconds : {0, 1, 2, 10, 50, 1, 10}) {
        for (int i = 0; i < 5; ++i) {
            const Clock::time_point start = Clock::now();
            Pause(milliseconds);
            EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(milliseconds)) << milliseconds << " ms";
        }
    }
}

TEST(Pause, NegativeDurationReturnsAtOnce) {
    const Clock::time_point start = Clock::now();
    Pause(-1000);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
}

TEST(Pause, LeavesTheThreadsTimerSlackAsItWas) {
    const int own = prctl(PR_GET_TIMERSLACK);
    ASSERT_EQ(prctl(PR_SET_TIMERSLACK, 123456UL), 0);
    Pause(2);
    EXPECT_EQ(prctl(PR_GET_TIMERSLACK), 123456);
    prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(own));
}

}  // namespace
