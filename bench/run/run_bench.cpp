// One detection run of the real, shown form over a generated tree of 2,000
// ".jpg" files in 20 folders, with a detector that answers at once. The run
// cannot be faster than its pauses: 10 ms per search entry and 50 ms per
// analysed file. What it takes beyond that floor is the program's own
// overhead, which must stay under 2% of the floor.

#include "app/main_unit.h"
#include "app/zolvu_const.h"
#include "platform/application.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace zolvu;

namespace {
constexpr int Folders = 20;
constexpr int FilesPerFolder = 100;
constexpr double Budget = 0.02;
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;

    QString emsg;
    if (!initFaceLib(emsg, QStringLiteral(INSTANT_MODULE)) || !FGlobFaceCnt) {
        std::fprintf(stderr, "cannot load the instant detector: %s\n", qPrintable(emsg));
        return 2;
    }

    QTemporaryDir tree;
    int entries = 0;
    for (int d = 0; d < Folders; ++d) {
        const QString folder = QStringLiteral("%1/folder%2").arg(tree.path()).arg(d);
        QDir().mkpath(folder);
        ++entries;
        for (int f = 0; f < FilesPerFolder; ++f) {
            QFile(QStringLiteral("%1/photo%2.jpg").arg(folder).arg(f)).open(QIODevice::WriteOnly);
            ++entries;
        }
    }
    const int files = Folders * FilesPerFolder;

    TForm1 form;
    form.show();
    QApplication::processEvents();
    form.Edit1->setText(tree.path());

    QElapsedTimer clock;
    clock.start();
    form.Button1->click();
    const double elapsed = clock.nsecsElapsed() / 1e9;

    const double floor = entries * 0.010 + files * 0.050;
    const double overhead = elapsed - floor;
    std::printf("entries %d, analysed %d, listed %d\n", entries, files, form.ListBox1->count());
    std::printf("run %.3f s, floor %.3f s, overhead %.3f s = %.2f%% of the floor (budget %.0f%%)\n", elapsed, floor,
                overhead, 100 * overhead / floor, 100 * Budget);
    const bool complete = form.Count() == files && form.ListBox1->count() == files;
    if (!complete) std::printf("the run did not analyse every file\n");
    finalizeFaceLib();
    return complete && overhead < Budget * floor ? 0 : 1;
}
