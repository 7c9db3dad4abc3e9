#pragma once
// The analysis loop of a detection run: each collected path in turn goes to
// the detector; a count above 0 lists it.

#include "app/zolvu_const.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zolvu {

// What the loop needs from the window it runs in.
struct RunEnvironment {
    std::function<void()> processMessages;  // the event hand-over
    std::function<void(int milliseconds)> sleep;
    std::function<bool()> stopRequested;   // Terminated or FStopFlag
    std::function<bool()> preciseChecked;  // read before every call
    std::function<void(const QString&)> addResult;
    std::function<void(const QString&)> setStatus;
};

enum class AnalysisEnd { Completed, Stopped };

// One step per path, each under its own guard: the path as the system's
// bytes, the precise flag read now, the detector call (an empty entry point
// fails the step), the path listed when the count is above 0, then the stop
// test, the hand-over, a 50 ms pause and "Piltide analüüs: " with the 1-based
// number. A failed step, a processor fault in the detector included, is
// skipped silently and has no stop test, hand-over, pause or status.
AnalysisEnd analyseFiles(const QStringList& pfilelist, Tfacecount facecount, const RunEnvironment& env);

}  // namespace zolvu
