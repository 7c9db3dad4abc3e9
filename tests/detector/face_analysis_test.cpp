// The working image the detectors see: upright, bounded, with a margin.
#include "face_analysis.h"

#include "jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

cv::Mat working(const std::string& bytes, const zolvu::AnalysisSettings& settings) {
  const std::vector<unsigned char> data(bytes.begin(), bytes.end());
  return zolvu::decodeWorkingImage(data, zolvu::readImageHeader(data), settings);
}

const zolvu::AnalysisSettings kPlain{1000, 0, 0.0, 1.1, 3, 24, 0};
const std::string kMessi = kOpenCvData + "messi5.jpg";  // 548 x 342

TEST(WorkingImage, ExifOrientationStandsTheTurnedPhotoUpright) {
  const cv::Mat turned = working(rotatedWithOrientation(kMessi, false), kPlain);
  const cv::Mat upright = working(rotatedWithOrientation(kMessi, true), kPlain);
  EXPECT_EQ(turned.size(), cv::Size(342, 548));
  EXPECT_EQ(upright.size(), cv::Size(548, 342));
  EXPECT_EQ(upright.type(), CV_8UC1);
}

TEST(WorkingImage, LongSideIsBroughtWithinTheBoundsAndGetsItsMargin) {
  const std::string jpeg = encodedJpeg(kMessi, false);
  struct Case {
    const char* name;
    zolvu::AnalysisSettings settings;
    cv::Size expected;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"UnchangedWithinBounds", kPlain, {548, 342}},
           {"ReducedToTheWorkingSide", {274, 0, 0.0, 1.1, 3, 24, 0}, {274, 171}},
           {"ScaledUpToTheMinimum", {1096, 1096, 0.0, 1.1, 3, 24, 0}, {1096, 684}},
           {"MarginOnEverySide", {1000, 0, 0.1, 1.1, 3, 24, 0}, {548 + 2 * 54, 342 + 2 * 54}},
       })
    EXPECT_EQ(working(jpeg, c.settings).size(), c.expected) << c.name;
}

}  // namespace
