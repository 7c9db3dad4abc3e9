// Counting faces in a decoded photograph, in the fast and the precise mode.
#pragma once

#include "image_header.h"

#include <span>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/objdetect.hpp>

namespace zolvu {

struct AnalysisSettings {
  int workingLongSide;  // the photo is decoded and scaled down to at most this
  double scaleFactor;
  int minNeighbors;
  int minFace;          // smallest face searched, in working pixels
  bool verify;          // keep only candidates that a second cue confirms
};

extern const AnalysisSettings kFastSettings;
extern const AnalysisSettings kPreciseSettings;

// The classifiers a count uses; the verifying ones only when settings.verify.
struct Cascades {
  cv::CascadeClassifier* face = nullptr;
  cv::CascadeClassifier* mouth = nullptr;
  cv::CascadeClassifier* eye = nullptr;
  cv::CascadeClassifier* secondFace = nullptr;
};

// Greyscale, upright (EXIF orientation applied), long side at most
// workingLongSide. Uses the JPEG decoder's own DCT scaling so a large photo is
// never decoded at full size. Empty when the decoder fails.
cv::Mat decodeWorkingImage(std::span<const unsigned char> bytes, const ImageHeader& header, int workingLongSide);

std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const Cascades& cascades);

}  // namespace zolvu
