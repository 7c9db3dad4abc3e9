// The module's side of the helper process: starts zolvu-detect on demand,
// sends it one request at a time and waits a bounded time for the answer.
//
// A helper that dies, answers nonsense or overruns the time limit is killed
// and reaped, the call gets a negative zolvu_result, and the next call starts
// a fresh helper. Destroying the object closes the channel and reaps the
// helper, so neither a zombie nor a stray process outlives it.
#pragma once

#include "wire.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace zolvu {

class HelperProcess {
public:
    // A fresh helper gets `startupAllowance` on top of the time limit for its
    // first answer, which includes loading OpenCV and the cascades.
    HelperProcess(std::string executable, std::chrono::milliseconds timeLimit,
                  std::chrono::milliseconds startupAllowance);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Requires: one call at a time, from a thread that outlives the helper
    // (the window's UI thread): the helper's PR_SET_PDEATHSIG fires when the
    // thread that started it ends.
    int32_t call(const DetectRequest& request);

private:
    bool start();
    void stop();
    void forgetIfGone();

    std::string executable_;
    std::chrono::milliseconds timeLimit_;
    std::chrono::milliseconds startupAllowance_;
    pid_t pid_ = -1;
    int channel_ = -1;
};

}  // namespace zolvu
