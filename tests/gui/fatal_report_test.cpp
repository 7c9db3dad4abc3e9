// The report of an exception that escaped start-up: its text names the
// class, the program's file name and the raise address relative to the
// program's load address; the box is captioned "Application Error", with
// the error icon and one OK button.

#include "platform/fatal_report.h"
#include "platform/exceptions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace zolvu;

namespace {

std::exception_ptr Captured(const std::function<void()>& raise) {
    try {
        raise();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

[[gnu::noinline]] void FailStartUp(const QString& message) { Raise(Exception(message)); }

QString ProgramName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

const QRegularExpression FirstLine(QStringLiteral("^Exception (\\S+) in module (\\S+) at ([0-9A-F]{8})\\.\r\n"));

TEST(FatalReportText, NamesClassProgramAndAddressRelativeToTheLoadAddress) {
    const std::exception_ptr error = Captured([] { FailStartUp(QStringLiteral("System Error.  Code: 2.\r\nx")); });
    const QString text = FatalReportText(error);
    const auto line = FirstLine.match(text);
    ASSERT_TRUE(line.hasMatch()) << text.toStdString();
    EXPECT_EQ(line.captured(1), QStringLiteral("Exception"));
    EXPECT_EQ(line.captured(2), ProgramName());
    EXPECT_EQ(text.mid(line.capturedLength()), QStringLiteral("System Error.  Code: 2.\r\nx.\r\n"));

    // The address is the raise address less the program's load address, and
    // the raise address lies in the function that raised.
    const void* raiseAddress = nullptr;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        raiseAddress = e.RaiseAddress();
    }
    Dl_info program{};
    ASSERT_NE(dladdr(reinterpret_cast<const void*>(&FailStartUp), &program), 0);
    const auto raised = reinterpret_cast<std::uintptr_t>(raiseAddress);
    const auto function = reinterpret_cast<std::uintptr_t>(&FailStartUp);
    EXPECT_GT(raised, function);
    EXPECT_LT(raised, function + 4096);  // inside that small function, instrumented or not
    bool ok = false;
    EXPECT_EQ(line.captured(3).toULongLong(&ok, 16), raised - reinterpret_cast<std::uintptr_t>(program.dli_fbase));
    EXPECT_TRUE(ok);
}

TEST(FatalReportText, EndsTheMessageWithOneDotAndALineBreak) {
    const struct {
        QString message, tail;
    } cases[] = {
        {QStringLiteral("Could not find MyDocuments folder location."),
         QStringLiteral("Could not find MyDocuments folder location.\r\n")},
        {QStringLiteral("Stop!"), QStringLiteral("Stop!.\r\n")},
        {QStringLiteral("System Error.  Code: 5.\r\n"), QStringLiteral("System Error.  Code: 5.\r\n.\r\n")},
        {QString(), QStringLiteral("\r\n")},
    };
    for (const auto& c : cases) {
        const QString text = FatalReportText(Captured([&] { FailStartUp(c.message); }));
        const auto line = FirstLine.match(text);
        ASSERT_TRUE(line.hasMatch()) << text.toStdString();
        EXPECT_EQ(text.mid(line.capturedLength()), c.tail) << c.message.toStdString();
    }
}

TEST(FatalReportText, ExceptionOutsideTheFamilyHasItsClassAndNoMessage) {
    const QString text = FatalReportText(Captured([] { throw std::runtime_error("not shown"); }));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Exception std::runtime_error in module ") + ProgramName()))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(".\r\n\r\n"))) << text.toStdString();
}

TEST(FatalReportText, IsCutTo1023Characters) {
    const QString text = FatalReportText(Captured([] { FailStartUp(QString(3000, u'e')); }));
    EXPECT_EQ(text.size(), 1023);
}

TEST(FatalReportBox, IsCaptionedApplicationErrorWithTheErrorIconAndOneOk) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    ShowFatalReport(Captured([] { FailStartUp(QStringLiteral("gone")); }));
    poll.stop();
    EXPECT_EQ(title, QStringLiteral("Application Error"));
    EXPECT_TRUE(FirstLine.match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("gone.\r\n")));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, 1);
}

}  // namespace
