#pragma once
// The report of an exception that nothing caught during start-up: one
// message box captioned "Application Error" with the error icon and one OK
// button, whose text is ExceptionErrorMessage (error_text.h) for the
// exception's class, the file name of the module holding the raise
// address, that address less the module's load address, and the message.
// Requires: the QApplication exists. Returns when the user has pressed OK.

#include <QString>
#include <exception>
#include <functional>

namespace zolvu {

inline constexpr char ApplicationErrorCaption[] = "Application Error";

QString FatalReportText(std::exception_ptr error);
void ShowFatalReport(std::exception_ptr error);

// Tests may see the text instead of a box; an empty function restores it.
void SetFatalReportHook(std::function<void(const QString&)> hook);

}  // namespace zolvu
