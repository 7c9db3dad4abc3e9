#include "platform/path_text.h"

#include <gtest/gtest.h>

using namespace zolvu;

TEST(PathText, TrailingDelimiterIsSlashOnly) {
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/home/a")), QStringLiteral("/home/a/"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/home/a/")), QStringLiteral("/home/a/"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("c:\\")), QStringLiteral("c:\\/"));
    EXPECT_EQ(IncludeTrailingPathDelimiter(QString()), QStringLiteral("/"));
}

TEST(PathText, ExtensionIsTakenFromTheNameAlone) {
    struct Case {
        const char* path;
        const char* ext;
    } cases[] = {
        {"/p/photo.JPG", ".JPG"}, {"/p/photo.jpg.bak", ".bak"}, {"/p/.jpg", ".jpg"}, {"/p/jpg", ""},
        {"/p.d/name", ""},        {"/p/a\\b.jpg", ".jpg"},      {"/p/x.", "."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractFileExt(QString::fromUtf8(c.path)), QString::fromUtf8(c.ext)) << c.path;
}

TEST(PathText, LowerCaseTouchesAsciiOnly) {
    EXPECT_EQ(LowerCase(QStringLiteral(".JpG ÄÕ")), QStringLiteral(".jpg ÄÕ"));
}

TEST(PathText, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Trim(QStringLiteral(" \t\r\n/a b \x01")), QStringLiteral("/a b"));
    EXPECT_EQ(Trim(QStringLiteral(" \t ")), QString());
}

TEST(PathText, SystemBytesRoundTripEveryByteString) {
    const std::string cases[] = {
        "plain/ascii.jpg",
        "t\xc3\xa4pne \xc3\xb5un.jpg",  // valid UTF-8
        "latin1 \xe4\xf5.jpg",          // not UTF-8
        "\xc3",                         // truncated sequence
        "\xc0\xaf overlong",            // overlong "/"
        "\xed\xa0\x80 surrogate",       // encoded surrogate
        "\xf4\x90\x80\x80 past max",    // beyond U+10FFFF
        "\xf0\x9f\x98\x80 emoji",
    };
    for (const auto& bytes : cases) EXPECT_EQ(SystemBytes(TextFromSystem(bytes)), bytes) << bytes;
}

TEST(PathText, ValidUtf8DecodesAndBadBytesBecomeLoneSurrogates) {
    EXPECT_EQ(TextFromSystem("t\xc3\xa4"), QStringLiteral("tä"));
    const QString escaped = TextFromSystem("a\xe4");
    ASSERT_EQ(escaped.size(), 2);
    EXPECT_EQ(escaped[1].unicode(), 0xDCE4);
}
