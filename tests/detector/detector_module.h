// zolvulib.so loaded the way the window program loads it, from a folder of
// its own so that a test can change the cascades beside it and get a fresh
// helper process.
#pragma once

#include "temp_folder.h"

#include <cstdint>
#include <string>

using FaceCount = int32_t (*)(const char*, const char*, const char*, int32_t);

inline constexpr const char* kFaceCascade = "haarcascade_frontalface_alt.xml";
inline constexpr const char* kMouthCascade = "haarcascade_mcs_mouth.xml";

class DetectorModule {
public:
    // Copies the built module, helper and cascades into a temporary folder.
    DetectorModule();
    ~DetectorModule();
    DetectorModule(const DetectorModule&) = delete;
    DetectorModule& operator=(const DetectorModule&) = delete;

    int32_t count(const std::string& image, int32_t precise = 0) const;
    FaceCount facecount() const { return facecount_; }
    std::string cascadeFolder() const { return folder_ / "cascades"; }
    // dlclose: the module's end, as at the end of the program.
    void unload();

private:
    TempFolder folder_;
    void* handle_ = nullptr;
    FaceCount facecount_ = nullptr;
};
