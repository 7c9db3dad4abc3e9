#include "platform/pause.h"

#include <algorithm>
#include <chrono>
#include <sys/prctl.h>
#include <thread>

namespace zolvu {

namespace {

using Clock = std::chrono::steady_clock;

// How long before its end a pause stops sleeping follows how late this
// thread's wake-ups come: it rises by nine steps after a wake-up later than
// it and falls by one after any other, so it settles where nine in ten
// wake-ups come before it. It never exceeds LongestLead, so a thread that
// was kept from running for long does not make later pauses wait on the
// clock for long.
constexpr Clock::duration LeadStep = std::chrono::microseconds(1);
constexpr Clock::duration LongestLead = std::chrono::milliseconds(1);

// The calling thread's timer slack at its least while the guard lives. A
// slack of 0 would mean the default, so the least is 1 nanosecond.
class LeastTimerSlack {
public:
    LeastTimerSlack() : previous_(prctl(PR_GET_TIMERSLACK)) { prctl(PR_SET_TIMERSLACK, 1UL); }
    ~LeastTimerSlack() {
        if (previous_ > 0) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_));
    }
    LeastTimerSlack(const LeastTimerSlack&) = delete;
    LeastTimerSlack& operator=(const LeastTimerSlack&) = delete;

private:
    int previous_;
};

}  // namespace

void Pause(int milliseconds) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    thread_local Clock::duration lead{};
    const Clock::time_point wake = deadline - lead;
    if (Clock::now() < wake) {
        const LeastTimerSlack slack;
        while (Clock::now() < wake) std::this_thread::sleep_until(wake);
        if (Clock::now() - wake > lead)
            lead = std::min(lead + 9 * LeadStep, LongestLead);
        else
            lead = std::max(lead - LeadStep, Clock::duration::zero());
    }
    // The rest is shorter than a wake-up would be late.
    while (Clock::now() < deadline) {}
}

}  // namespace zolvu
