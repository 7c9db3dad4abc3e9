// The module's handling of a helper that crashes, hangs, exits or answers
// nonsense, driven through a fake helper that misbehaves on request.
#include "helper_process.h"

#include "child_processes.h"
#include "zolvulib.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kShortLimit = 300ms;

zolvu::DetectRequest asking(const char* what) { return {what, "face.xml", "mouth.xml", 0}; }

struct Failure {
    const char* request;
    int32_t expected;
};

class HelperFailure : public testing::TestWithParam<Failure> {};

TEST_P(HelperFailure, GivesItsCodeReapsTheHelperAndRecoversOnTheNextCall) {
    const Failure failure = GetParam();
    zolvu::HelperProcess helper(FAKE_HELPER, kShortLimit, kShortLimit);
    ASSERT_EQ(helper.call(asking("warm up")), 42);

    const auto before = Clock::now();
    EXPECT_EQ(helper.call(asking(failure.request)), failure.expected);
    EXPECT_LT(Clock::now() - before, kShortLimit + 2s);
    EXPECT_TRUE(childProcesses().empty()) << "the failed helper was not reaped";

    EXPECT_EQ(helper.call(asking("after")), 42);
    EXPECT_EQ(childProcesses().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, HelperFailure,
                         testing::Values(Failure{"crash", ZOLVU_HELPER_CRASHED}, Failure{"exit", ZOLVU_HELPER_CRASHED},
                                         Failure{"hang", ZOLVU_TIME_LIMIT},
                                         Failure{"short answer", ZOLVU_HELPER_CRASHED},
                                         Failure{"oversized answer", ZOLVU_HELPER_CRASHED}),
                         [](const auto& info) {
                             std::string name = info.param.request;
                             std::erase(name, ' ');
                             return name;
                         });

TEST(HelperProcess, StartsOnTheFirstCallAndKeepsOneHelper) {
    zolvu::HelperProcess helper(FAKE_HELPER, kShortLimit, kShortLimit);
    EXPECT_TRUE(childProcesses().empty());
    EXPECT_EQ(helper.call(asking("one")), 42);
    const auto first = childProcesses();
    EXPECT_EQ(helper.call(asking("two")), 42);
    EXPECT_EQ(childProcesses(), first);
}

TEST(HelperProcess, FirstAnswerOfAFreshHelperMayTakeTheStartupAllowance) {
    zolvu::HelperProcess helper(FAKE_HELPER, 0ms, 10s);
    EXPECT_EQ(helper.call(asking("one")), 42);
    EXPECT_EQ(helper.call(asking("two")), ZOLVU_TIME_LIMIT);
}

TEST(HelperProcess, DestructionLeavesNoProcessBehind) {
    {
        zolvu::HelperProcess helper(FAKE_HELPER, kShortLimit, kShortLimit);
        ASSERT_EQ(helper.call(asking("one")), 42);
    }
    EXPECT_TRUE(childProcesses().empty());
}

TEST(HelperProcess, MissingExecutableIsUnavailableNotNoFace) {
    zolvu::HelperProcess helper("/nonexistent/zolvu-detect", kShortLimit, kShortLimit);
    EXPECT_EQ(helper.call(asking("one")), ZOLVU_HELPER_UNAVAILABLE);
    EXPECT_TRUE(childProcesses().empty());
}

}  // namespace
