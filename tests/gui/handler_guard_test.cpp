// What happens to an exception that escapes an event handler: EAbort is
// silent, any other shows the innermost non-empty message under the
// dialog's own "." rule, in the event loop and inside a hand-over alike,
// and dispatching goes on afterwards.

#include "platform/handler_guard.h"
#include "platform/application.h"
#include "platform/error_text.h"
#include "platform/exceptions.h"

#include "gui_wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace zolvu;

namespace {

// Records every dialog text instead of showing the dialog.
class GuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageDialogHook([this](const QString& text) { shown.push_back(text); });
    }
    void TearDown() override { SetMessageDialogHook({}); }

    QStringList shown;
};

struct EscapeCase {
    const char* name;
    std::function<void()> handler;
    QStringList shown;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

[[noreturn]] void Nested(const QString& outer, const QString& inner) {
    try {
        Raise(Exception(inner));
    } catch (...) {
        std::throw_with_nested(Exception(outer));
    }
}

class Escaping : public GuardTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(Escaping, ShowsWhatTheDialogShows) {
    const EscapeCase& c = GetParam();
    Guarded(c.handler);
    EXPECT_EQ(shown, c.shown) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Escaping,
    ::testing::Values(
        EscapeCase{"abort_is_silent", [] { Raise(EAbort(QStringLiteral("Operation aborted"))); }, {}},
        EscapeCase{"no_exception", [] {}, {}},
        EscapeCase{"plain_message_gets_a_dot",
                   [] { Raise(Exception(QStringLiteral("Disk full"))); },
                   {QStringLiteral("Disk full.")}},
        EscapeCase{"dot_stays_single", [] { Raise(Exception(QStringLiteral("Done."))); }, {QStringLiteral("Done.")}},
        // "!", ")" and a line break lie below "." in code: no dot, unlike
        // the start-up report, which adds one to anything but ".".
        EscapeCase{"bang_gets_none", [] { Raise(Exception(QStringLiteral("Stop!"))); }, {QStringLiteral("Stop!")}},
        EscapeCase{"paren_gets_none", [] { Raise(Exception(QStringLiteral("(x)"))); }, {QStringLiteral("(x)")}},
        EscapeCase{"line_break_gets_none",
                   [] { Raise(Exception(QStringLiteral("Code: 2.\r\n"))); },
                   {QStringLiteral("Code: 2.\r\n")}},
        EscapeCase{
            "letter_above_dot", [] { Raise(Exception(QStringLiteral("Tõrge ä"))); }, {QStringLiteral("Tõrge ä.")}},
        EscapeCase{"empty_message_shows_empty", [] { Raise(Exception(QString())); }, {QString()}},
        EscapeCase{"standard_exception", [] { throw std::runtime_error("bad state"); }, {QStringLiteral("bad state.")}},
        EscapeCase{"foreign_object", [] { throw 42; }, {QString()}},
        EscapeCase{"innermost_message",
                   [] { Nested(QStringLiteral("outer"), QStringLiteral("inner")); },
                   {QStringLiteral("inner.")}},
        EscapeCase{"empty_inner_falls_back_outward",
                   [] { Nested(QStringLiteral("outer"), QString()); },
                   {QStringLiteral("outer.")}},
        EscapeCase{"three_deep",
                   [] {
                       try {
                           Nested(QStringLiteral("middle"), QString());
                       } catch (...) {
                           std::throw_with_nested(Exception(QStringLiteral("top")));
                       }
                   },
                   {QStringLiteral("middle.")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GuardTest, DialogRuleDiffersFromTheReportRule) {
    const QString message = QStringLiteral("Stop!");
    Guarded([&] { Raise(Exception(message)); });
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), message);
    EXPECT_TRUE(ExceptionErrorMessage(QStringLiteral("Exception"), QStringLiteral("zolvu"), 0, message)
                    .endsWith(QStringLiteral("Stop!.\r\n")));
}

TEST_F(GuardTest, EventLoopGoesOnAfterTheDialog) {
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, GuardedSlot([&] {
        ++clicks;
        Raise(Exception(QStringLiteral("click %1").arg(clicks)));
    }));
    bool later = false;
    QTimer::singleShot(0, &button, [&] {
        button.click();
        button.click();
        QTimer::singleShot(0, &button, [&] { later = true; });
    });
    EXPECT_EQ_SOON(later, true);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(shown, QStringList({QStringLiteral("click 1."), QStringLiteral("click 2.")}));
}

TEST_F(GuardTest, HandOverReportsAndTheHandlerAroundItGoesOn) {
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, &button,
                     GuardedSlot([] { Raise(Exception(QStringLiteral("inside the hand-over"))); }));
    bool resumed = false;
    Guarded([&] {
        QTimer::singleShot(0, &button, [&] { button.click(); });
        // Only the hand-over dispatches here, as in a search or a run.
        QElapsedTimer waited;
        waited.start();
        while (shown.isEmpty() && waited.elapsed() < 5000) Application->ProcessMessages();
        resumed = true;
    });
    EXPECT_TRUE(resumed);
    EXPECT_EQ(shown, QStringList({QStringLiteral("inside the hand-over.")}));
}

// The real dialog: modal, one OK button, an empty title. It is found and
// answered from a timer while it runs its own loop.
TEST(GuardDialog, IsModalWithOneOkButtonAndNoTitle) {
    QString title = QStringLiteral("unset"), text;
    QList<QAbstractButton*> buttons;
    bool modal = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        buttons = box->buttons();
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    bool after = false;
    Guarded([] { Raise(Exception(QStringLiteral("Cannot read"))); });
    after = true;
    poll.stop();
    EXPECT_TRUE(after);
    EXPECT_TRUE(title.isEmpty()) << title.toStdString();
    EXPECT_EQ(text, QStringLiteral("Cannot read."));
    EXPECT_EQ(buttons.size(), 1);
    EXPECT_TRUE(modal);
}

}  // namespace
