// Processor faults inside a guarded call become EExternalFault; the same
// faults anywhere else still end the process with the signal.

#include "platform/fault_guard.h"
#include "platform/exceptions.h"

#include <csignal>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace zolvu;

namespace {

void NullDereference() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

void DivisionByZero() {
    volatile int zero = 0;
    volatile int dividend = 7;
    volatile int quotient = dividend / zero;
    (void)quotient;
}

void IllegalInstruction() { __builtin_trap(); }

// A mapping past the end of its file: touching it is a bus error.
void BusError() {
    std::FILE* file = std::tmpfile();
    void* mapping = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fileno(file), 0);
    volatile char byte = *static_cast<volatile char*>(mapping);
    (void)byte;
}

// Endless on purpose; the compiler cannot see the end that never comes.
volatile bool recurseForever = true;

[[gnu::noinline]] int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return recurseForever ? Recurse(depth + 1) + frame[0] : 0;
}

void StackOverflow() { (void)Recurse(0); }

struct FaultCase {
    const char* name;
    void (*fault)();
};

const FaultCase faultCases[] = {
    {"null_dereference", NullDereference},       {"division_by_zero", DivisionByZero},
    {"illegal_instruction", IllegalInstruction}, {"bus_error", BusError},
    {"stack_overflow", StackOverflow},
};

class FaultGuard : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultGuard, FaultInsideTheCallBecomesAnExceptionAndTheGuardCanBeUsedAgain) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_THROW(CallCatchingFaults([fault = GetParam().fault] { fault(); }), EExternalFault);
    }
    int value = 0;
    CallCatchingFaults([&] { value = 7; });
    EXPECT_EQ(value, 7);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultGuard, ::testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FaultGuardAlone, ExceptionsOfTheCallPassUnchanged) {
    EXPECT_THROW(CallCatchingFaults([] { throw std::runtime_error("detector"); }), std::runtime_error);
}

TEST(FaultGuardAlone, NestedGuardsEachCatchTheirOwnFault) {
    bool innerCaught = false;
    EXPECT_THROW(CallCatchingFaults([&] {
                     try {
                         CallCatchingFaults([] { NullDereference(); });
                     } catch (const EExternalFault&) {
                         innerCaught = true;
                     }
                     DivisionByZero();
                 }),
                 EExternalFault);
    EXPECT_TRUE(innerCaught);
}

// The death tests run in a child without core files.
void NoCoreFile() {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
}

TEST(FaultGuardDeath, FaultOutsideAGuardedCallEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NoCoreFile();
            CallCatchingFaults([] {});
            NullDereference();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
}

TEST(FaultGuardDeath, FaultOnAnotherThreadDuringAGuardedCallEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NoCoreFile();
            CallCatchingFaults([] { std::thread(DivisionByZero).join(); });
        },
        ::testing::KilledBySignal(SIGFPE), "");
}

TEST(FaultGuardDeath, SignalSentDuringAGuardedCallIsNoProcessorFault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NoCoreFile();
            CallCatchingFaults([] { std::raise(SIGBUS); });
        },
        ::testing::KilledBySignal(SIGBUS), "");
}

}  // namespace
