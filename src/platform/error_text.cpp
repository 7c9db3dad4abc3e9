#include "platform/error_text.h"

namespace zolvu {

QString StripSystemText(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1].unicode() <= 32 || text[end - 1] == u'.')) --end;
    return text.left(end);
}

QString OSErrorMessage(int code, const QString& systemText) {
    if (code == 0) return QStringLiteral("A call to an OS function failed");
    return QStringLiteral("System Error.  Code: %1.\r\n%2").arg(code).arg(StripSystemText(systemText));
}

QString ExceptionErrorMessage(const QString& className, const QString& moduleName, std::uintptr_t offset,
                              const QString& message) {
    constexpr qsizetype MaxChars = 1023;  // a 1024-character buffer with its terminating zero
    const QString dot = (!message.isEmpty() && !message.endsWith(u'.')) ? QStringLiteral(".") : QString();
    const QString address = QStringLiteral("%1").arg(quint64(offset), 8, 16, QLatin1Char('0')).toUpper();
    const QString text =
        QStringLiteral("Exception %1 in module %2 at %3.\r\n").arg(className, moduleName.left(260), address) + message +
        dot + QStringLiteral("\r\n");
    return text.left(MaxChars);
}

QString HandlerDialogText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

}  // namespace zolvu
