#include "face_analysis.h"

#include <algorithm>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace zolvu {

const AnalysisSettings kFastSettings{1000, 1.1, 3, 20, false};
const AnalysisSettings kPreciseSettings{1400, 1.05, 3, 20, true};

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
bool confirmed(const cv::Mat& grey, const cv::Rect& face, const Cascades& cascades) {
  const int side = face.width;
  const cv::Rect lower(face.x, face.y + face.height * 11 / 20, face.width, face.height * 9 / 20);
  const int mouthMin = std::max(5, side / 6);
  if (found(*cascades.mouth, grey(lower), {mouthMin * 3 / 2, mouthMin})) return true;

  const cv::Rect upper(face.x, face.y + face.height / 8, face.width, face.height / 2);
  const int eyeMin = std::max(5, side / 7);
  if (found(*cascades.eye, grey(upper), {eyeMin, eyeMin})) return true;

  const int margin = side / 4;
  const cv::Rect around = cv::Rect(face.x - margin, face.y - margin, side + 2 * margin, face.height + 2 * margin) &
                          cv::Rect(0, 0, grey.cols, grey.rows);
  const int faceMin = side * 3 / 4;
  return found(*cascades.secondFace, grey(around), {faceMin, faceMin});
}

}  // namespace

cv::Mat decodeWorkingImage(std::span<const unsigned char> bytes, const ImageHeader& header, int workingLongSide) {
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
  }
  return grey;
}

std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const Cascades& cascades) {
  cv::Mat equalized;
  cv::equalizeHist(grey, equalized);
  std::vector<cv::Rect> faces;
  cascades.face->detectMultiScale(equalized, faces, settings.scaleFactor, settings.minNeighbors, 0,
                                  cv::Size(settings.minFace, settings.minFace));
  if (settings.verify)
    std::erase_if(faces, [&](const cv::Rect& face) { return !confirmed(equalized, face, cascades); });
  return faces;
}

}  // namespace zolvu
