#pragma once
// Dynamic libraries through the system's loader (dlopen), with the error
// reporting of a failing system call: a failed load leaves an error code
// and the system's text for it, which RaiseLastOSError turns into EOSError.
//
// The loader does not set errno, so the code is read from its own
// explanation: the errno whose standard text ends the dlerror() message
// (2 for "...: No such file or directory"), else ELIBBAD; the system's text
// for it is then the whole dlerror() message.

#include <QString>

namespace zolvu {

using HMODULE = void*;

// Loads a library by name; a name without "/" goes through the system's
// library search (LD_LIBRARY_PATH, then the caller's RUNPATH, then the
// system folders). Returns null on failure and sets the last error.
HMODULE LoadLibrary(const QString& name);

// The address of an exported symbol, or null when there is none.
void* GetProcAddress(HMODULE module, const char* name);

void FreeLibrary(HMODULE module);

// The last error of this thread's loader calls, and the system's text for it.
int GetLastError();
QString LastErrorText();
void SetLastError(int code, const QString& text);

// The errno value whose standard text ends a loader message, else ELIBBAD.
int ErrnoFromLoaderMessage(const QString& message);

// Raises EOSError with the last error's code and text (OSErrorMessage).
[[noreturn]] void RaiseLastOSError();

}  // namespace zolvu
