#include "wire.h"

#include <cstring>

namespace zolvu {
namespace {

template <typename T>
void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
bool take(std::string_view& in, T& value) {
    if (in.size() < sizeof(T)) return false;
    std::memcpy(&value, in.data(), sizeof(T));
    in.remove_prefix(sizeof(T));
    return true;
}

void putText(std::string& out, std::string_view text) {
    put(out, static_cast<uint32_t>(text.size()));
    out.append(text);
}

bool takeText(std::string_view& in, std::string& text) {
    uint32_t size = 0;
    if (!take(in, size) || in.size() < size) return false;
    text.assign(in.substr(0, size));
    in.remove_prefix(size);
    return true;
}

}  // namespace

std::string encodeRequest(const DetectRequest& request) {
    std::string out;
    put(out, request.precise);
    putText(out, request.image);
    putText(out, request.faceCascade);
    putText(out, request.mouthCascade);
    return out;
}

std::optional<DetectRequest> decodeRequest(std::string_view payload) {
    DetectRequest request;
    if (!take(payload, request.precise) || !takeText(payload, request.image) ||
        !takeText(payload, request.faceCascade) || !takeText(payload, request.mouthCascade) || !payload.empty())
        return std::nullopt;
    return request;
}

std::string encodeAnswer(int32_t result) {
    std::string out;
    put(out, result);
    return out;
}

std::optional<int32_t> decodeAnswer(std::string_view payload) {
    int32_t result = 0;
    if (!take(payload, result) || !payload.empty()) return std::nullopt;
    return result;
}

std::string frame(std::string_view payload) {
    std::string out;
    put(out, static_cast<uint32_t>(payload.size()));
    out.append(payload);
    return out;
}

uint32_t frameLength(const char (&header)[kFrameHeaderBytes]) {
    uint32_t length = 0;
    std::memcpy(&length, header, sizeof length);
    return length;
}

}  // namespace zolvu
