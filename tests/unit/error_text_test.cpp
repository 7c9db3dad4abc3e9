#include "platform/error_text.h"

#include <gtest/gtest.h>

using namespace zolvu;

namespace {

struct ReportCase {
    const char* name;
    QString message;
    QString expectedTail;  // what follows the first line
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

class ReportText : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportText, FillsTheFormatAndAddsTheDotOnlyWhenTheLastCharacterIsNotADot) {
    const ReportCase& c = GetParam();
    const QString text = ExceptionErrorMessage(QStringLiteral("Exception"), QStringLiteral("zolvu"), 0x1A2B, c.message);
    EXPECT_EQ(text, QStringLiteral("Exception Exception in module zolvu at 00001A2B.\r\n") + c.expectedTail) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportText,
    ::testing::Values(ReportCase{"ends_in_dot", QStringLiteral("Could not find MyDocuments folder location."),
                                 QStringLiteral("Could not find MyDocuments folder location.\r\n")},
                      ReportCase{"ends_in_bang", QStringLiteral("Stop!"), QStringLiteral("Stop!.\r\n")},
                      ReportCase{"ends_in_paren", QStringLiteral("(x)"), QStringLiteral("(x).\r\n")},
                      ReportCase{"ends_in_line_break", QStringLiteral("System Error.  Code: 2.\r\n"),
                                 QStringLiteral("System Error.  Code: 2.\r\n.\r\n")},
                      ReportCase{"empty", QString(), QStringLiteral("\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportText, IsCutTo1023Characters) {
    const QString text =
        ExceptionErrorMessage(QStringLiteral("Exception"), QStringLiteral("zolvu"), 0, QString(2000, u'x'));
    EXPECT_EQ(text.size(), 1023);
    EXPECT_TRUE(text.endsWith(u'x'));
}

TEST(ReportText, OffsetHasEightUpperCaseDigits) {
    EXPECT_TRUE(ExceptionErrorMessage(QStringLiteral("E"), QStringLiteral("m"), 0xabcdef, QString())
                    .startsWith(QStringLiteral("Exception E in module m at 00ABCDEF.\r\n")));
}

struct OsCase {
    const char* name;
    int code;
    QString systemText;
    QString expected;
};

void PrintTo(const OsCase& c, std::ostream* os) { *os << c.name; }

class OsErrorText : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsErrorText, StripsTrailingBlanksDotsAndLineBreaks) {
    const OsCase& c = GetParam();
    EXPECT_EQ(OSErrorMessage(c.code, c.systemText), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OsErrorText,
    ::testing::Values(OsCase{"plain", 2, QStringLiteral("No such file or directory"),
                             QStringLiteral("System Error.  Code: 2.\r\nNo such file or directory")},
                      OsCase{"trailing_dot_blank_break", 5, QStringLiteral("Access denied. \r\n"),
                             QStringLiteral("System Error.  Code: 5.\r\nAccess denied")},
                      OsCase{"inner_dots_and_blanks_stay", 80, QStringLiteral("lib.so: bad. file ..\t"),
                             QStringLiteral("System Error.  Code: 80.\r\nlib.so: bad. file")},
                      OsCase{"no_text", 7, QString(), QStringLiteral("System Error.  Code: 7.\r\n")},
                      OsCase{"negative_code", -3, QStringLiteral("x"), QStringLiteral("System Error.  Code: -3.\r\nx")},
                      OsCase{"code_zero", 0, QStringLiteral("ignored"),
                             QStringLiteral("A call to an OS function failed")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HandlerDialogText, AddsADotOnlyAboveTheCodeOfDot) {
    struct Case {
        QString in, out;
    } cases[] = {
        {QStringLiteral("Cannot open file \"/a\". Permission denied"),
         QStringLiteral("Cannot open file \"/a\". Permission denied.")},
        {QStringLiteral("done."), QStringLiteral("done.")},
        {QStringLiteral("Stop!"), QStringLiteral("Stop!")},  // "!" is below "."
        {QStringLiteral("(x)"), QStringLiteral("(x)")},      // ")" is below "."
        {QStringLiteral("a/"), QStringLiteral("a/.")},       // "/" is above "."
        {QStringLiteral("line\n"), QStringLiteral("line\n")},
        {QString(), QString()},
    };
    for (const auto& c : cases) EXPECT_EQ(HandlerDialogText(c.in), c.out) << c.in.toStdString();
}

}  // namespace
