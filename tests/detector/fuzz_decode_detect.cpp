// libFuzzer target: arbitrary file bytes through the helper's path from the
// header check to the face count. Built and run by run-fuzz.
//
// Every input goes the whole way in the fast mode, and through the precise
// mode's decoding; the precise mode's detection sees the same kind of pixels
// and would only cut the number of inputs tried per second.
#include "analysis.h"
#include "cascade_store.h"
#include "face_analysis.h"
#include "image_header.h"

#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static zolvu::CascadeStore cascades(zolvu::trustedCascadeFolders(ZOLVU_BIN_DIR));
    static const bool singleThreaded = (cv::setNumThreads(0), true);
    (void)singleThreaded;
    const std::span<const unsigned char> bytes(data, size);
    const zolvu::DetectRequest request{"fuzz.jpg", "haarcascade_frontalface_alt.xml", "haarcascade_mcs_mouth.xml", 0};
    // A cascade problem here would mean the run tests nothing.
    if (zolvu::analyseBytes(bytes, request, cascades) == -6) __builtin_trap();

    const zolvu::ImageHeader header = zolvu::readImageHeader(bytes);
    if (header.status == 0) {
        try {
            zolvu::decodeWorkingImage(bytes, header, zolvu::kPreciseSettings);
        } catch (const cv::Exception&) {
            // the helper answers "cannot decode" for these
        }
    }
    return 0;
}
