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
  int minimumLongSide;  // and a smaller one scaled up to at least this
  double border;        // margin added around, as a share of the long side
  double scaleFactor;
  int minNeighbors;
  int minFace;          // smallest face searched, in working pixels
  int requiredCues;     // of mouth, eyes and a second face detector; 0: none
};

extern const AnalysisSettings kFastSettings;
extern const AnalysisSettings kPreciseSettings;

// The classifiers a count uses; the verifying ones only when requiredCues > 0.
struct Cascades {
  cv::CascadeClassifier* face = nullptr;
  cv::CascadeClassifier* mouth = nullptr;
  cv::CascadeClassifier* eye = nullptr;
  cv::CascadeClassifier* secondFace = nullptr;
};

// Greyscale, upright (EXIF orientation applied), long side at most
// workingLongSide. Uses the JPEG decoder's own DCT scaling so a large photo is
// never decoded at full size. Empty when the decoder fails.
cv::Mat decodeWorkingImage(std::span<const unsigned char> bytes, const ImageHeader& header,
                           const AnalysisSettings& settings);

std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const Cascades& cascades);

}  // namespace zolvu
