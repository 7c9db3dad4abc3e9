#include "image_header.h"

#include "zolvulib.h"

#include <algorithm>
#include <iterator>

namespace zolvu {
namespace {

unsigned bigEndian16(std::span<const unsigned char> b, std::size_t at) { return (unsigned{b[at]} << 8) | b[at + 1]; }

unsigned long bigEndian32(std::span<const unsigned char> b, std::size_t at) {
    return (static_cast<unsigned long>(bigEndian16(b, at)) << 16) | bigEndian16(b, at + 2);
}

ImageHeader sized(unsigned long width, unsigned long height) {
    if (width == 0 || height == 0) return {ZOLVU_CANNOT_DECODE};
    if (width > kMaxImagePixels || height > kMaxImagePixels) return {ZOLVU_TOO_LARGE};
    if (static_cast<std::int64_t>(width) * static_cast<std::int64_t>(height) > kMaxImagePixels)
        return {ZOLVU_TOO_LARGE};
    return {0, static_cast<int>(width), static_cast<int>(height)};
}

bool isStartOfFrame(unsigned char marker) {
    // C0..CF, except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

ImageHeader jpegHeader(std::span<const unsigned char> b) {
    std::size_t at = 2;
    for (;;) {
        while (at < b.size() && b[at] != 0xFF) ++at;  // tolerate junk, as libjpeg does
        while (at < b.size() && b[at] == 0xFF) ++at;  // fill bytes
        if (at >= b.size()) return {ZOLVU_CANNOT_DECODE};
        const unsigned char marker = b[at++];
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD9 || marker == 0xDA) return {ZOLVU_CANNOT_DECODE};  // image data before any frame
        if (at + 2 > b.size()) return {ZOLVU_CANNOT_DECODE};
        const unsigned length = bigEndian16(b, at);
        if (length < 2) return {ZOLVU_CANNOT_DECODE};
        if (isStartOfFrame(marker)) {
            // length, precision, height, width, components
            if (length < 8 || at + 7 > b.size()) return {ZOLVU_CANNOT_DECODE};
            return sized(bigEndian16(b, at + 5), bigEndian16(b, at + 3));
        }
        at += length;
    }
}

ImageHeader pngHeader(std::span<const unsigned char> b) {
    // signature (8), IHDR length (4), "IHDR", width (4), height (4)
    constexpr unsigned char ihdr[] = {'I', 'H', 'D', 'R'};
    if (b.size() < 24 || !std::equal(std::begin(ihdr), std::end(ihdr), b.begin() + 12)) return {ZOLVU_CANNOT_DECODE};
    return sized(bigEndian32(b, 16), bigEndian32(b, 20));
}

}  // namespace

ImageHeader readImageHeader(std::span<const unsigned char> bytes) {
    constexpr unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return jpegHeader(bytes);
    if (bytes.size() >= sizeof png && std::equal(std::begin(png), std::end(png), bytes.begin()))
        return pngHeader(bytes);
    return {ZOLVU_CANNOT_DECODE};
}

}  // namespace zolvu
