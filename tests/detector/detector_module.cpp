#include "detector_module.h"

#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

DetectorModule::DetectorModule() {
    const fs::path built = ZOLVU_BIN_DIR;
    fs::copy_file(built / "zolvulib.so", folder_ / "zolvulib.so");
    fs::copy_file(built / "zolvu-detect", folder_ / "zolvu-detect");
    fs::copy(built / "cascades", folder_ / "cascades", fs::copy_options::recursive);
    handle_ = ::dlopen((folder_ / "zolvulib.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(::dlerror());
    facecount_ = reinterpret_cast<FaceCount>(::dlsym(handle_, "facecount"));
    if (facecount_ == nullptr) throw std::runtime_error("no facecount export");
}

DetectorModule::~DetectorModule() { unload(); }

int32_t DetectorModule::count(const std::string& image, int32_t precise) const {
    return facecount_(image.c_str(), kFaceCascade, kMouthCascade, precise);
}

void DetectorModule::unload() {
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = nullptr;
    facecount_ = nullptr;
}
