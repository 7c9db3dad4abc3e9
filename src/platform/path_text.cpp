#include "platform/path_text.h"

namespace zolvu {

QString IncludeTrailingPathDelimiter(const QString& path) { return path.endsWith(PathDelim) ? path : path + PathDelim; }

QString ExtractFileExt(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(PathDelim) ? path.mid(dot) : QString();
}

QString LowerCase(const QString& text) {
    QString lowered = text;
    for (QChar& c : lowered) {
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lowered;
}

QString Trim(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32) ++first;
    while (last > first && text[last - 1].unicode() <= 32) --last;
    return text.mid(first, last - first);
}

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
std::size_t ValidSequence(std::string_view s, std::size_t i, char32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else
        return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, encoded surrogates and values past U+10FFFF are not
    // valid UTF-8; they are escaped byte by byte like any other bad byte.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

QString TextFromSystem(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        if (const std::size_t len = ValidSequence(bytes, i, cp)) {
            const char32_t one[1] = {cp};
            text += QString::fromUcs4(one, 1);
            i += len;
        } else {
            text += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return text;
}

std::string SystemBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        char32_t cp = u;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(u, text[++i].unicode());
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            bytes += static_cast<char>(u - EscapeBase);
            continue;
        } else if (QChar::isSurrogate(u)) {
            bytes += '?';
            continue;
        }
        if (cp < 0x80) {
            bytes += static_cast<char>(cp);
        } else if (cp < 0x800) {
            bytes += static_cast<char>(0xC0 | (cp >> 6));
            bytes += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            bytes += static_cast<char>(0xE0 | (cp >> 12));
            bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (cp >> 18));
            bytes += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return bytes;
}

}  // namespace zolvu
