// The messages between zolvulib.so and its helper process zolvu-detect.
//
// Each message travels as a frame: its payload length as a 32-bit unsigned
// integer in host byte order (both ends run on the same machine), then the
// payload. A request carries the precise flag and three texts, each text as
// its length and its bytes; an answer carries one 32-bit result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zolvu {

struct DetectRequest {
    std::string image;
    std::string faceCascade;
    std::string mouthCascade;
    int32_t precise = 0;
};

// No real request comes near this; a larger length marks a broken stream.
inline constexpr uint32_t kMaxFramePayload = 64 * 1024;
inline constexpr std::size_t kFrameHeaderBytes = sizeof(uint32_t);

std::string encodeRequest(const DetectRequest& request);
std::optional<DetectRequest> decodeRequest(std::string_view payload);

std::string encodeAnswer(int32_t result);
std::optional<int32_t> decodeAnswer(std::string_view payload);

// The whole frame for a payload: header then payload.
std::string frame(std::string_view payload);

// The payload length a frame header announces.
uint32_t frameLength(const char (&header)[kFrameHeaderBytes]);

}  // namespace zolvu
