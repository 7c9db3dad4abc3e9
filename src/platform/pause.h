#pragma once
// The fixed pauses of a run.
//
// Promises:
// - Pause(ms) returns no sooner than ms milliseconds after it was called,
//   on the steady clock, however often a sleep is cut short.
// - It returns as soon after that as it can. The system wakes a sleeping
//   thread some tens of microseconds after the time asked for, so a pause
//   sleeps until that long before its end, as learnt from the pauses before
//   it on the same thread, and waits out the rest on the clock. For the
//   sleep the thread's timer slack, which lets the kernel wake it up to 50
//   microseconds later still to batch wake-ups, is cut to the least; the
//   slack is the thread's own again afterwards.
// - Pause(0) and a negative duration return at once.

namespace zolvu {

void Pause(int milliseconds);

}  // namespace zolvu
