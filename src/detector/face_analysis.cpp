#include "face_analysis.h"

#include <algorithm>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace zolvu {

// Chosen on bench/detector's labelled photos (bench/detector/run-accuracy).
// Fast: every photo brought to a long side of 1000 pixels (a larger one loses
// no face there; a smaller one scaled up finds the faces below the cascade's
// window), with a margin for faces that fill the frame.
const AnalysisSettings kFastSettings{1000, 1000, 0.1, 1.1, 3, 24, 0};
// Precise: more resolution, and a candidate counts only when two of the three
// cues confirm it. One cue let through most false faces; a finer scale step
// (1.05, 1.08) found more false faces than real ones.
const AnalysisSettings kPreciseSettings{1200, 1200, 0.1, 1.1, 3, 24, 2};

namespace {

int reducedReadFlag(int denominator) {
  switch (denominator) {
    case 8: return cv::IMREAD_REDUCED_GRAYSCALE_8;
    case 4: return cv::IMREAD_REDUCED_GRAYSCALE_4;
    case 2: return cv::IMREAD_REDUCED_GRAYSCALE_2;
    default: return cv::IMREAD_GRAYSCALE;
  }
}

bool found(cv::CascadeClassifier& cascade, const cv::Mat& region, cv::Size minSize) {
  std::vector<cv::Rect> hits;
  cascade.detectMultiScale(region, hits, 1.1, 3, 0, minSize);
  return !hits.empty();
}

// A face candidate is kept when a cue independent of the first detector's
// decision confirms it: a mouth in its lower part, an eye in its upper part,
// or a differently trained face detector around it.
int cues(const cv::Mat& grey, const cv::Rect& face, const Cascades& cascades) {
  const int side = face.width;
  const cv::Rect lower(face.x, face.y + face.height * 11 / 20, face.width, face.height * 9 / 20);
  const int mouthMin = std::max(5, side / 6);
  const bool mouth = found(*cascades.mouth, grey(lower), {mouthMin * 3 / 2, mouthMin});

  const cv::Rect upper(face.x, face.y + face.height / 8, face.width, face.height / 2);
  const int eyeMin = std::max(5, side / 7);
  const bool eye = found(*cascades.eye, grey(upper), {eyeMin, eyeMin});

  const int margin = side / 4;
  const cv::Rect around = cv::Rect(face.x - margin, face.y - margin, side + 2 * margin, face.height + 2 * margin) &
                          cv::Rect(0, 0, grey.cols, grey.rows);
  const int faceMin = side * 3 / 4;
  const bool secondFace = found(*cascades.secondFace, grey(around), {faceMin, faceMin});
  return int{mouth} + int{eye} + int{secondFace};
}

}  // namespace

cv::Mat decodeWorkingImage(std::span<const unsigned char> bytes, const ImageHeader& header,
                           const AnalysisSettings& settings) {
  const int workingLongSide = settings.workingLongSide;
  const int longSide = std::max(header.width, header.height);
  int denominator = 8;
  while (denominator > 1 && longSide / denominator < workingLongSide) denominator /= 2;

  // imdecode only reads the buffer; its interface just lacks the const.
  const cv::Mat encoded(1, static_cast<int>(bytes.size()), CV_8U, const_cast<unsigned char*>(bytes.data()));
  cv::Mat grey = cv::imdecode(encoded, reducedReadFlag(denominator));
  if (grey.empty()) return grey;

  const int decodedLongSide = std::max(grey.cols, grey.rows);
  if (decodedLongSide > workingLongSide) {
    const double scale = static_cast<double>(workingLongSide) / decodedLongSide;
    cv::resize(grey, grey, cv::Size(), scale, scale, cv::INTER_AREA);
  } else if (decodedLongSide < settings.minimumLongSide) {
    // Faces in small photos are often below the cascade's 20 x 20 window.
    const double scale = static_cast<double>(settings.minimumLongSide) / decodedLongSide;
    cv::resize(grey, grey, cv::Size(), scale, scale, cv::INTER_LINEAR);
  }
  if (settings.border > 0) {
    // A face that fills the frame needs room around it for the window.
    const int margin = static_cast<int>(settings.border * std::max(grey.cols, grey.rows));
    cv::copyMakeBorder(grey, grey, margin, margin, margin, margin, cv::BORDER_REPLICATE);
  }
  return grey;
}

std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const Cascades& cascades) {
  cv::Mat equalized;
  cv::equalizeHist(grey, equalized);
  std::vector<cv::Rect> faces;
  cascades.face->detectMultiScale(equalized, faces, settings.scaleFactor, settings.minNeighbors, 0,
                                  cv::Size(settings.minFace, settings.minFace));
  if (settings.requiredCues > 0)
    std::erase_if(faces, [&](const cv::Rect& face) { return cues(equalized, face, cascades) < settings.requiredCues; });
  return faces;
}

}  // namespace zolvu
