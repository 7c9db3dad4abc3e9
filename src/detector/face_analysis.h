// Counting faces in a decoded photograph, in the fast and the precise mode.
#pragma once

#include "image_header.h"

#include <span>
#include <vector>

#include <dlib/image_processing/frontal_face_detector.h>
#include <opencv2/core.hpp>
#include <opencv2/objdetect.hpp>

namespace zolvu {

struct AnalysisSettings {
    int workingLongSide;  // the photo is decoded and scaled down to at most this
    int minimumLongSide;  // and a smaller one scaled up to at least this
    double border;        // margin added around, as a share of the long side
    double scaleFactor;
    int minNeighbors;
    int minFace;       // smallest face searched, in working pixels
    int requiredCues;  // confirmations a cascade's candidate needs; 0: none
};

extern const AnalysisSettings kFastSettings;
extern const AnalysisSettings kPreciseSettings;

// The detectors a count uses. The cascade's candidates are confirmed by the
// verifying cascades that are given (the fast mode gives the eye alone);
// the gradient detector's faces need no confirmation.
struct FaceDetectors {
    cv::CascadeClassifier* face = nullptr;
    dlib::frontal_face_detector* gradients = nullptr;
    cv::CascadeClassifier* mouth = nullptr;
    cv::CascadeClassifier* eye = nullptr;
    cv::CascadeClassifier* secondFace = nullptr;
};

// Greyscale, upright (EXIF orientation applied), long side at most
// workingLongSide. Uses the JPEG decoder's own DCT scaling so a large photo is
// never decoded at full size. Empty when the decoder fails.
cv::Mat decodeWorkingImage(std::span<const unsigned char> bytes, const ImageHeader& header,
                           const AnalysisSettings& settings);

// The photo with a margin of `border` times its long side on every side, so
// that a face filling the frame still fits the cascade's window.
cv::Mat withSearchMargin(const cv::Mat& grey, double border);

// One rectangle per face found, in the working image's coordinates.
std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const FaceDetectors& detectors);

}  // namespace zolvu
