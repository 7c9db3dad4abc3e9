#include "app/detection_run.h"

#include "platform/exceptions.h"
#include "platform/fault_guard.h"
#include "platform/path_text.h"

#include <string>

namespace zolvu {

AnalysisEnd analyseFiles(const QStringList& pfilelist, Tfacecount facecount, const RunEnvironment& env) {
    const qsizetype n = pfilelist.size();
    for (qsizetype i = 0; i < n; ++i) {
        try {
            const std::string ps = SystemBytes(pfilelist.at(i));
            const std::int32_t precise = env.preciseChecked() ? 1 : 0;
            if (!facecount) Raise(Exception(QStringLiteral("The detector has no entry point")));
            std::int32_t pcnt = 0;
            CallCatchingFaults(
                [&] { pcnt = facecount(ps.c_str(), CZolvuHaarCascadeDefFile, CZolvuMouthCsacadeDefFile, precise); });
            if (pcnt > 0) env.addResult(pfilelist.at(i));
            if (env.stopRequested()) return AnalysisEnd::Stopped;
            env.processMessages();
            env.sleep(50);
            env.setStatus(QStringLiteral("Piltide analüüs: ") + QString::number(i + 1));
        } catch (...) {
            // A failed step is skipped without a trace; the run goes on.
        }
    }
    return AnalysisEnd::Completed;
}

}  // namespace zolvu
