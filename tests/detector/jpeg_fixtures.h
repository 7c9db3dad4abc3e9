// Photographs and damaged files that the detector tests feed to facecount,
// made at test time from photos that Debian packages install.
#pragma once

#include <string>

inline const std::string kGraceHopper = "/usr/share/doc/facedetect/examples/grace_hopper_512x512.jpg";
inline const std::string kOpenCvData = "/usr/share/doc/opencv-doc/examples/data/";

// The JPEG file `jpeg` with its frame claiming width x height.
std::string withFrameSize(std::string jpeg, unsigned width, unsigned height);
// `jpeg` re-encoded from `photo`, baseline or progressive.
std::string encodedJpeg(const std::string& photo, bool progressive);
std::string encodedPng(const std::string& photo);
// `photo` turned a quarter left, so it stands upright only when a viewer
// applies EXIF orientation 6 (turn right); with the tag when `tagged`.
std::string rotatedWithOrientation(const std::string& photo, bool tagged);
// `photo` with an EXIF block whose offsets point far outside it.
std::string withCorruptExif(const std::string& photo);
// The bytes of `jpeg` up to the end of its scan header: no image data.
std::string cutAfterScanHeader(const std::string& jpeg);
