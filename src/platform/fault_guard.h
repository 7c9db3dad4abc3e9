#pragma once
// Calls into foreign code with its processor faults caught.
//
// Promises:
// - A SIGSEGV, SIGBUS, SIGFPE or SIGILL that the processor raises on the
//   calling thread while the call runs (a stack overflow included: the
//   handler runs on an alternate signal stack) ends the call and raises
//   EExternalFault in its place. C++ exceptions of the call pass unchanged.
// - Anywhere else (outside a guarded call, on another thread, or a signal
//   sent by a process rather than raised by the processor) the handler
//   restores the default action and re-raises, so a real crash still ends
//   the program with a core dump.
// Limits: the faulting code's own frames are abandoned, not unwound, so it
// must be code that keeps no state across calls that a fault could leave
// half-changed (locks, heap bookkeeping); the caller's frames between here
// and the foreign call must own nothing that needs destroying.

#include <type_traits>

namespace zolvu {

void CallCatchingFaults(void (*call)(void* context), void* context);

template <class F>
void CallCatchingFaults(F&& call) {
    CallCatchingFaults([](void* context) { (*static_cast<std::remove_reference_t<F>*>(context))(); },
                       static_cast<void*>(&call));
}

}  // namespace zolvu
