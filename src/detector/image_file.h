// Reads a photograph's bytes without trusting what its name points at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zolvu {

// Larger than any photograph a camera writes, small enough to hold in memory.
inline constexpr std::int64_t kMaxImageFileBytes = 256LL * 1024 * 1024;

struct ImageFile {
    int32_t status = 0;  // 0, or a zolvu_result
    std::vector<unsigned char> bytes;
};

// Opens without blocking (a FIFO or device must not hang the helper), checks
// on the open descriptor that it is a regular file of sane size, then reads it.
ImageFile readImageFile(const std::string& path);

}  // namespace zolvu
