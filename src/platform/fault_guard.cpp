#include "platform/fault_guard.h"

#include "platform/exceptions.h"

#include <QString>
#include <csetjmp>
#include <csignal>
#include <memory>
#include <mutex>

namespace zolvu {

namespace {

constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// Where a fault on this thread jumps to; null while no guarded call runs.
thread_local sigjmp_buf* armedTarget = nullptr;

void OnFault(int signal, siginfo_t* info, void*) {
    const bool fromProcessor = info->si_code > 0;
    if (armedTarget && fromProcessor) siglongjmp(*armedTarget, signal);
    std::signal(signal, SIG_DFL);
    // A processor fault recurs with the default action when the handler
    // returns; a sent signal is delivered again once the handler has ended.
    std::raise(signal);
}

void InstallHandlers() {
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : FaultSignals) sigaction(signal, &action, nullptr);
}

// A thread's own alternate stack, so that a handler can run after the
// thread's stack has overflowed. A stack that someone else set is kept.
class AlternateStack {
public:
    AlternateStack() {
        stack_t current{};
        if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
        memory_ = std::make_unique<char[]>(Size);
        stack_t mine{};
        mine.ss_sp = memory_.get();
        mine.ss_size = Size;
        if (sigaltstack(&mine, nullptr) != 0) memory_.reset();
    }
    ~AlternateStack() {
        if (!memory_) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }
    AlternateStack(const AlternateStack&) = delete;
    AlternateStack& operator=(const AlternateStack&) = delete;

private:
    static constexpr std::size_t Size = 64 * 1024;
    std::unique_ptr<char[]> memory_;
};

}  // namespace

void CallCatchingFaults(void (*call)(void* context), void* context) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    thread_local AlternateStack alternateStack;

    sigjmp_buf target;
    sigjmp_buf* const outer = armedTarget;
    const int signal = sigsetjmp(target, 1);
    if (signal == 0) {
        armedTarget = &target;
        try {
            call(context);
        } catch (...) {
            armedTarget = outer;
            throw;
        }
        armedTarget = outer;
        return;
    }
    armedTarget = outer;
    Raise(EExternalFault(QStringLiteral("Processor fault (signal %1) in a foreign call").arg(signal)));
}

}  // namespace zolvu
