// One request of the helper, from file name to answer. Never throws.
#pragma once

#include "cascade_store.h"
#include "wire.h"

#include <cstdint>
#include <span>

namespace zolvu {

// The number of faces, or a zolvu_result.
int32_t analyseFile(const DetectRequest& request, CascadeStore& cascades);

// The same from the file's bytes on, for callers that hold them already.
int32_t analyseBytes(std::span<const unsigned char> bytes, const DetectRequest& request, CascadeStore& cascades);

}  // namespace zolvu
