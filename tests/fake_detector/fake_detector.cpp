// A stand-in for the face detector whose answers each fixture decides: the
// count is the number written at the start of the image file ("3", "0",
// "-2"); a missing file answers -1. Special words make the step fail:
// "throw" raises a C++ exception, "segv" dereferences null, "overflow"
// recurses until the stack runs out. "hold <file> <count>" answers <count>
// once <file> exists, so that a test outside the process can act while
// this image is being "analysed".
//
// Every call is recorded, for tests in the same process through
// fake_calls(), and for tests of the real program by appending one line per
// call ("image|face|mouth|precise") to the file named by ZOLVU_FAKE_LOG,
// which also receives "loaded" and "unloaded". fake_set_callback() lets a
// test run code while a given file is being "analysed".

#include "fake_detector.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<FakeCall> calls;
FakeCallback callback = nullptr;
void* callbackContext = nullptr;

void Log(const std::string& line) {
    if (const char* file = std::getenv("ZOLVU_FAKE_LOG")) {
        std::ofstream(file, std::ios::app) << line << '\n';
    }
}

struct LoadMarker {
    LoadMarker() { Log("loaded"); }
    ~LoadMarker() { Log("unloaded"); }
} marker;

[[gnu::noinline]] int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    return Recurse(depth + 1) + frame[0];
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t facecount(const char* image, const char* faceCascade,
                                                              const char* mouthCascade, std::int32_t precise) {
    calls.push_back({image, faceCascade, mouthCascade, precise});
    Log(std::string(image) + "|" + faceCascade + "|" + mouthCascade + "|" + std::to_string(precise));
    if (callback) callback(image, callbackContext);
    std::string word, release;
    std::int32_t count = 0;
    {
        // Read and closed before any fault: a fault abandons this frame, and
        // an open stream would be left behind as a leak.
        std::ifstream in(image);
        if (!in) return -1;
        in >> word;
        if (word == "hold") in >> release >> count;
    }
    if (word == "throw") throw std::runtime_error("fake detector failure");
    if (word == "segv") return *static_cast<volatile std::int32_t*>(nullptr);
    if (word == "overflow") return Recurse(0);
    if (word == "hold") {
        // Bounded, so a test that never releases does not hang the program.
        for (int i = 0; i < 3000 && !std::ifstream(release); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return count;
    }
    return static_cast<std::int32_t>(std::strtol(word.c_str(), nullptr, 10));
}

__attribute__((visibility("default"))) const std::vector<FakeCall>* fake_calls() { return &calls; }

__attribute__((visibility("default"))) void fake_reset() {
    calls.clear();
    callback = nullptr;
    callbackContext = nullptr;
}

__attribute__((visibility("default"))) void fake_set_callback(FakeCallback fn, void* context) {
    callback = fn;
    callbackContext = context;
}
}
