#pragma once
// The binding of the face-detection library: its entry point, the two
// cascade names every call passes, and the library's life from start-up to
// exit. Only the start-up writes the globals; afterwards they are read only.

#include "platform/library.h"

#include <QString>
#include <cstdint>

namespace zolvu {

// The detector's entry point: image path and the two cascade file names as
// zero-terminated 8-bit text, the precise flag 1 or 0; the count of face
// detections, where a result above 0 marks a hit.
using Tfacecount = std::int32_t (*)(const char* image, const char* faceCascade, const char* mouthCascade,
                                    std::int32_t precise);

inline constexpr char CZolvuHaarCascadeDefFile[] = "haarcascade_frontalface_alt.xml";
inline constexpr char CZolvuMouthCsacadeDefFile[] = "haarcascade_mcs_mouth.xml";
inline constexpr char CZolvuLibraryFile[] = "zolvulib.so";

extern HMODULE FGlobCLib;
extern Tfacecount FGlobFaceCnt;

// Loads the library and resolves "facecount" into FGlobFaceCnt. True when
// the library loaded (the entry point may still be empty); false after a
// failed load, with the error text in emsg. emsg is written only when an
// exception was caught. libraryName is for tests; the program uses the
// default.
bool initFaceLib(QString& emsg, const QString& libraryName = QString::fromLatin1(CZolvuLibraryFile));

// The release at exit: frees a library that was loaded, once.
void finalizeFaceLib();

}  // namespace zolvu
