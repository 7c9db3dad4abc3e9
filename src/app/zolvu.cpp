// The program entry: brings the toolkit up, binds the detector, hands the
// main form to the event loop, and ends the process in a fixed order: the
// application's forms first, then the start-up message, then the library.

#include "app/main_unit.h"
#include "app/zolvu_const.h"
#include "platform/application.h"
#include "platform/exceptions.h"
#include "platform/fatal_report.h"
#include "platform/runtime.h"

#include <QApplication>
#include <exception>

namespace {

QString pmsg;

// The end of the program, normal or after the fatal report: the
// application's components, then the program's own finalizations in
// reverse order of their initialization, then the exit code.
int Halt(int exitCode) {
    if (zolvu::Application->RunEntered()) zolvu::Application->DestroyComponents();
    pmsg.clear();
    zolvu::finalizeFaceLib();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    zolvu::PrepareRuntime();
    QApplication qtApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("ee.zolvu.Zolvu"));
    zolvu::TApplication application;
    try {
        if (!zolvu::initFaceLib(pmsg)) zolvu::Raise(zolvu::Exception(pmsg));
        application.Initialize();
        application.CreateForm(zolvu::Form1);
        application.Run();
    } catch (...) {
        zolvu::ShowFatalReport(std::current_exception());
        return Halt(1);
    }
    return Halt(0);
}
