#include "platform/library.h"

#include "platform/error_text.h"
#include "platform/exceptions.h"
#include "platform/path_text.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>

namespace zolvu {

namespace {
thread_local int lastError = 0;
thread_local QString lastErrorText;
}  // namespace

int GetLastError() { return lastError; }
QString LastErrorText() { return lastErrorText; }

void SetLastError(int code, const QString& text) {
    lastError = code;
    lastErrorText = text;
}

int ErrnoFromLoaderMessage(const QString& message) {
    int best = ELIBBAD;
    qsizetype bestLength = 0;
    for (int code = 1; code < 134; ++code) {
        const QString text = QString::fromLocal8Bit(std::strerror(code));
        if (text.size() > bestLength && message.endsWith(QStringLiteral(": ") + text)) {
            best = code;
            bestLength = text.size();
        }
    }
    return best;
}

HMODULE LoadLibrary(const QString& name) {
    dlerror();
    HMODULE module = dlopen(SystemBytes(name).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        if (why) {
            const QString text = TextFromSystem(why);
            SetLastError(ErrnoFromLoaderMessage(text), text);
        } else {
            SetLastError(0, QString());
        }
    }
    return module;
}

void* GetProcAddress(HMODULE module, const char* name) { return dlsym(module, name); }

void FreeLibrary(HMODULE module) { dlclose(module); }

void RaiseLastOSError() {
    const int code = GetLastError();
    Raise(EOSError(OSErrorMessage(code, code ? LastErrorText() : QString()), code));
}

}  // namespace zolvu
