// Frame sizes read from headers, before any decoder sees the bytes.
#include "image_header.h"

#include "zolvulib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes startOfFrame(unsigned char marker, unsigned width, unsigned height) {
    return {0xFF,
            marker,
            0x00,
            0x0B,
            0x08,
            static_cast<unsigned char>(height >> 8),
            static_cast<unsigned char>(height),
            static_cast<unsigned char>(width >> 8),
            static_cast<unsigned char>(width),
            0x01,
            0x01,
            0x11,
            0x00};
}

Bytes png(unsigned long width, unsigned long height) {
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (unsigned long v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
    return out;
}

const Bytes kSoi{0xFF, 0xD8};
const Bytes kApp0{0xFF, 0xE0, 0x00, 0x04, 'J', 'F'};
const Bytes kSos{0xFF, 0xDA, 0x00, 0x08};
const Bytes kPngSignatureOnly{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};

struct Case {
    const char* name;
    Bytes bytes;
    int32_t status;
    int width = 0;
    int height = 0;
};

class HeaderCase : public testing::TestWithParam<Case> {};

TEST_P(HeaderCase, ReadsSizeOrRefuses) {
    const Case& c = GetParam();
    const zolvu::ImageHeader header = zolvu::readImageHeader(c.bytes);
    EXPECT_EQ(header.status, c.status);
    if (c.status == 0) {
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderCase,
    testing::Values(
        Case{"Empty", {}, ZOLVU_CANNOT_DECODE}, Case{"Text", {'h', 'e', 'l', 'l', 'o'}, ZOLVU_CANNOT_DECODE},
        Case{"SoiOnly", kSoi, ZOLVU_CANNOT_DECODE},
        Case{"Baseline", cat({kSoi, kApp0, startOfFrame(0xC0, 640, 480)}), 0, 640, 480},
        Case{"Progressive", cat({kSoi, startOfFrame(0xC2, 1024, 768)}), 0, 1024, 768},
        Case{"FillBytesBeforeMarker", cat({kSoi, {0xFF, 0xFF}, startOfFrame(0xC1, 3, 5)}), 0, 3, 5},
        Case{"HuffmanTableIsNoFrame", cat({kSoi, {0xFF, 0xC4, 0x00, 0x02}, startOfFrame(0xC0, 8, 8)}), 0, 8, 8},
        Case{"LargestAccepted", cat({kSoi, startOfFrame(0xC0, 12000, 10000)}), 0, 12000, 10000},
        Case{"Claims65500Square", cat({kSoi, startOfFrame(0xC0, 65500, 65500)}), ZOLVU_TOO_LARGE},
        Case{"Claims30000SquareBaseline", cat({kSoi, kApp0, startOfFrame(0xC0, 30000, 30000)}), ZOLVU_TOO_LARGE},
        Case{"Claims30000SquareProgressive", cat({kSoi, startOfFrame(0xC2, 30000, 30000)}), ZOLVU_TOO_LARGE},
        Case{"ZeroWidth", cat({kSoi, startOfFrame(0xC0, 0, 480)}), ZOLVU_CANNOT_DECODE},
        Case{"ZeroHeight", cat({kSoi, startOfFrame(0xC0, 640, 0)}), ZOLVU_CANNOT_DECODE},
        Case{"ScanBeforeFrame", cat({kSoi, kSos}), ZOLVU_CANNOT_DECODE},
        Case{"SegmentLengthBelowTwo", cat({kSoi, {0xFF, 0xE1, 0x00, 0x01}}), ZOLVU_CANNOT_DECODE},
        Case{"SegmentRunsPastEnd", cat({kSoi, {0xFF, 0xE1, 0x40, 0x00, 1, 2, 3}}), ZOLVU_CANNOT_DECODE},
        Case{"FrameCutShort", cat({kSoi, {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x01}}), ZOLVU_CANNOT_DECODE},
        Case{"Png", png(800, 600), 0, 800, 600}, Case{"PngZeroWidth", png(0, 600), ZOLVU_CANNOT_DECODE},
        Case{"PngHuge", png(0x7FFFFFFF, 0x7FFFFFFF), ZOLVU_TOO_LARGE},
        Case{"PngNoHeaderChunk", kPngSignatureOnly, ZOLVU_CANNOT_DECODE},
        Case{"Gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, ZOLVU_CANNOT_DECODE}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
