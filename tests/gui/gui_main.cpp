// The main of every window test: the toolkit on the offscreen platform and
// the program's application object, as the program's entry has them.

#include "platform/application.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication qtApplication(argc, argv);
    zolvu::TApplication application;
    return RUN_ALL_TESTS();
}
