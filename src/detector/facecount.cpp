// zolvulib.so: the exported entry point. It links no OpenCV; every image is
// analysed by the helper process zolvu-detect installed beside this module,
// so a fault or a runaway decoder never takes the calling program with it.
#include "zolvulib.h"

#include "helper_process.h"
#include "wire.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace {

using namespace std::chrono_literals;

// No real photograph comes near it on this machine (the slowest measured
// takes well under a second in the precise mode), yet it is short enough that
// the window, which cannot react during a call, never seems hung for long.
#if defined(__SANITIZE_ADDRESS__)
// The sanitized build runs the helper several times slower.
constexpr auto kTimeLimit = 12000ms;
#else
constexpr auto kTimeLimit = 4000ms;
#endif
// Loading OpenCV and the four cascades of the precise mode takes about a
// second in a fresh helper; a busy machine may need several.
constexpr auto kStartupAllowance = 4000ms;

std::string moduleFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&facecount), &info) == 0 || info.dli_fname == nullptr) return {};
    // dlopen("./zolvulib.so") leaves a relative name; pin it down now.
    char* real = ::realpath(info.dli_fname, nullptr);
    if (real == nullptr) return {};
    std::string path = real;
    std::free(real);
    return path.substr(0, path.rfind('/'));
}

// Resolved while the module loads, before the host can change its folder.
const std::string helperExecutable = moduleFolder() + "/zolvu-detect";

zolvu::HelperProcess& helper() {
    // Destroyed at dlclose or exit, which reaps the helper.
    static zolvu::HelperProcess process(helperExecutable, kTimeLimit, kStartupAllowance);
    return process;
}

bool usableText(const char* text) {
    return text != nullptr && *text != '\0' && std::strlen(text) < zolvu::kMaxFramePayload / 4;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t facecount(const char* image, const char* faceCascade,
                                                                    const char* mouthCascade, int32_t precise) {
    if (!usableText(image) || !usableText(faceCascade) || !usableText(mouthCascade) || (precise != 0 && precise != 1))
        return ZOLVU_BAD_ARGUMENT;
    try {
        return helper().call({image, faceCascade, mouthCascade, precise});
    } catch (...) {
        // Only std::bad_alloc can come this far; nothing may cross the C boundary.
        return ZOLVU_HELPER_UNAVAILABLE;
    }
}
