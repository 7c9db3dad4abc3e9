// libFuzzer target: arbitrary file bytes through the helper's path from the
// header check to the face count, in both modes. Built and run by run-fuzz.
#include "analysis.h"
#include "cascade_store.h"

#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zolvu::CascadeStore cascades(zolvu::trustedCascadeFolders(ZOLVU_BIN_DIR));
  static const bool singleThreaded = (cv::setNumThreads(0), true);
  (void)singleThreaded;
  for (int32_t precise : {0, 1}) {
    const zolvu::DetectRequest request{"fuzz.jpg", "haarcascade_frontalface_alt.xml", "haarcascade_mcs_mouth.xml",
                                       precise};
    const int32_t result = zolvu::analyseBytes({data, size}, request, cascades);
    // A cascade problem here would mean the run tests nothing.
    if (result == -6) __builtin_trap();
  }
  return 0;
}
