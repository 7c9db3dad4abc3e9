#include "jpeg_fixtures.h"

#include "temp_folder.h"

#include <stdexcept>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

namespace {

std::size_t findMarker(const std::string& jpeg, unsigned char marker) {
    // Segments from SOI on, skipping each by its length, up to the wanted one.
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (static_cast<unsigned char>(jpeg[at]) != 0xFF) throw std::runtime_error("not at a marker");
        const auto m = static_cast<unsigned char>(jpeg[at + 1]);
        if (m == marker) return at;
        const std::size_t length =
            (static_cast<unsigned char>(jpeg[at + 2]) << 8) | static_cast<unsigned char>(jpeg[at + 3]);
        at += 2 + length;
    }
    throw std::runtime_error("marker not found");
}

std::string bigEndian16(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }

std::string encode(const cv::Mat& image, const char* extension, std::vector<int> parameters = {}) {
    std::vector<unsigned char> bytes;
    if (!cv::imencode(extension, image, bytes, parameters)) throw std::runtime_error("imencode failed");
    return {bytes.begin(), bytes.end()};
}

cv::Mat decoded(const std::string& photo) {
    cv::Mat image = cv::imread(photo, cv::IMREAD_COLOR);
    if (image.empty())
        throw std::runtime_error("cannot read " + photo + ": install its Debian package (scripts/setup)");
    return image;
}

std::string insertAfterSoi(const std::string& jpeg, const std::string& segment) {
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string app1Exif(const std::string& tiff) {
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    return "\xFF\xE1" + bigEndian16(static_cast<unsigned>(body.size() + 2)) + body;
}

}  // namespace

std::string withFrameSize(std::string jpeg, unsigned width, unsigned height) {
    std::size_t at = std::string::npos;
    for (unsigned char sof : {0xC0, 0xC2}) {
        try {
            at = findMarker(jpeg, sof);
            break;
        } catch (const std::runtime_error&) {}
    }
    if (at == std::string::npos) throw std::runtime_error("no frame header");
    jpeg.replace(at + 5, 2, bigEndian16(height));
    jpeg.replace(at + 7, 2, bigEndian16(width));
    return jpeg;
}

std::string encodedJpeg(const std::string& photo, bool progressive) {
    return encode(decoded(photo), ".jpg", {cv::IMWRITE_JPEG_PROGRESSIVE, progressive ? 1 : 0});
}

std::string encodedPng(const std::string& photo) { return encode(decoded(photo), ".png"); }

std::string rotatedWithOrientation(const std::string& photo, bool tagged) {
    cv::Mat turned;
    cv::rotate(decoded(photo), turned, cv::ROTATE_90_COUNTERCLOCKWISE);
    const std::string jpeg = encode(turned, ".jpg");
    if (!tagged) return jpeg;
    // Big-endian TIFF, one IFD with one entry: Orientation (0x0112), SHORT, 1, 6.
    const std::string tiff("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 26);
    return insertAfterSoi(jpeg, app1Exif(tiff));
}

std::string withCorruptExif(const std::string& photo) {
    // The IFD offset and the entry count both point far past the block.
    const std::string tiff("MM\0*\x7F\xFF\xFF\xF0\xFF\xFF\x01\x12\0\x03\xFF\xFF\xFF\xFF", 18);
    return insertAfterSoi(readFile(photo), app1Exif(tiff));
}

std::string cutAfterScanHeader(const std::string& jpeg) {
    const std::size_t at = findMarker(jpeg, 0xDA);
    const std::size_t length =
        (static_cast<unsigned char>(jpeg[at + 2]) << 8) | static_cast<unsigned char>(jpeg[at + 3]);
    return jpeg.substr(0, at + 2 + length);
}
