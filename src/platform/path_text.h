#pragma once
// Path and text helpers with the program's own rules, which differ from
// Qt's in small ways that matter: only "/" is a path delimiter (a backslash
// is an ordinary character of a name), the extension test knows no locale,
// and file names travel as UTF-16 that can hold any byte string.

#include <QString>
#include <string>
#include <string_view>

namespace zolvu {

inline constexpr QChar PathDelim = u'/';

// The text unchanged when it ends in "/", else with "/" appended; "" gives "/".
QString IncludeTrailingPathDelimiter(const QString& path);

// From the last "." to the end when that "." comes after the last "/",
// else empty.
QString ExtractFileExt(const QString& path);

// ASCII A-Z to a-z; every other code unit unchanged.
QString LowerCase(const QString& text);

// Without leading and trailing characters of code 32 or less.
QString Trim(const QString& text);

// File names are byte strings. They are carried as UTF-16: valid UTF-8 is
// decoded, and every byte that is not part of valid UTF-8 becomes the lone
// surrogate U+DC80..U+DCFF, so that SystemBytes(TextFromSystem(b)) == b for
// every b. SystemBytes turns any other lone surrogate into "?".
QString TextFromSystem(std::string_view bytes);
std::string SystemBytes(const QString& text);

}  // namespace zolvu
