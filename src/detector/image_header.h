// Frame size from an image's header, read before anything is decoded, so an
// absurd size is refused before the decoder allocates for it.
#pragma once

#include <cstdint>
#include <span>

namespace zolvu {

// Above any camera sensor (the largest give about 100 megapixels); a
// progressive JPEG of this size still decodes within the helper's memory limit.
inline constexpr std::int64_t kMaxImagePixels = 120'000'000;

struct ImageHeader {
    int32_t status = 0;  // 0, or a zolvu_result
    int width = 0;
    int height = 0;
};

// Accepts JPEG (any SOF type) and PNG; everything else cannot be decoded.
ImageHeader readImageHeader(std::span<const unsigned char> bytes);

}  // namespace zolvu
