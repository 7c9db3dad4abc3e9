// Public interface of the face detector module zolvulib.so.
//
// The module exports one function. The window program loads the module with
// dlopen("zolvulib.so") and calls facecount once per photograph, one call at a
// time, and lists the photograph when the result is above 0.
#ifndef ZOLVULIB_H
#define ZOLVULIB_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Why a call counted no face. Every failure is negative, so a caller that only
// asks "result > 0" never lists a photograph that could not be analysed.
enum zolvu_result {
    ZOLVU_BAD_ARGUMENT = -1,      // null or empty text, a cascade name that is not a bare file name, precise not 0 or 1
    ZOLVU_NOT_REGULAR_FILE = -2,  // a folder, FIFO, socket, device
    ZOLVU_CANNOT_OPEN = -3,       // missing, dangling link, no permission
    ZOLVU_CANNOT_DECODE = -4,     // not a JPEG or PNG, or a corrupt one
    ZOLVU_TOO_LARGE = -5,         // file or frame size above the limits, or out of memory
    ZOLVU_BAD_CASCADE = -6,       // cascade file missing, unreadable or corrupt
    ZOLVU_HELPER_CRASHED = -7,    // the helper process died or answered nonsense
    ZOLVU_TIME_LIMIT = -8,        // the helper did not answer in time and was killed
    ZOLVU_HELPER_UNAVAILABLE = -9  // the helper process could not be started
};

// Counts the faces in one image file.
//   image        path of the file, as the raw bytes of its name
//   faceCascade  bare file name of the frontal-face cascade
//   mouthCascade bare file name of the mouth cascade (used when precise is 1)
//   precise      0: fast analysis; 1: slower analysis with fewer false faces
// Cascades are looked up in the folder "cascades" beside the module, then in
// /usr/share/opencv4/haarcascades; never beside the image or in the current
// folder. Returns the number of faces (0 when none) or a zolvu_result.
int32_t facecount(const char* image, const char* faceCascade, const char* mouthCascade, int32_t precise);

#ifdef __cplusplus
}
#endif

#endif
