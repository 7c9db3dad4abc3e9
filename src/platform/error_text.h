#pragma once
// The texts that failures are reported with. Pure functions, so every rule
// (the two different "." rules, the cut, the stripped system text) can be
// checked without a window.

#include <QString>
#include <cstdint>

namespace zolvu {

// The system's message text with every trailing character of code 32 or
// less and every trailing "." removed.
QString StripSystemText(const QString& text);

// The message of a failed system call: "System Error.  Code: %d.\r\n%s" with
// the stripped system text, or "A call to an OS function failed" for code 0.
QString OSErrorMessage(int code, const QString& systemText);

// The fatal start-up report: "Exception %s in module %s at %p.\r\n%s%s\r\n",
// with "." added when the message is not empty and its last character is not
// ".", the offset as 8 upper-case hex digits, cut to 1023 characters.
QString ExceptionErrorMessage(const QString& className, const QString& moduleName, std::uintptr_t offset,
                              const QString& message);

// The text of the dialog for an exception that escaped an event handler:
// "." is added only when the last character's code is above that of ".".
QString HandlerDialogText(const QString& message);

}  // namespace zolvu
