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
         })
        EXPECT_EQ(working(jpeg, c.settings).size(), c.expected) << c.name;
}

TEST(WorkingImage, SearchMarginRepeatsTheEdgeOnEverySide) {
    const cv::Mat photo = working(encodedJpeg(kMessi, false), kPlain);
    const cv::Mat framed = zolvu::withSearchMargin(photo, 0.1);
    ASSERT_EQ(framed.size(), cv::Size(548 + 2 * 54, 342 + 2 * 54));
    EXPECT_EQ(cv::norm(framed(cv::Rect(54, 54, 548, 342)), photo, cv::NORM_INF), 0);
    EXPECT_EQ(framed.at<uchar>(0, 0), photo.at<uchar>(0, 0));
    EXPECT_EQ(framed.at<uchar>(framed.rows - 1, framed.cols - 1), photo.at<uchar>(photo.rows - 1, photo.cols - 1));
}

const std::string kHaarCascades = "/usr/share/opencv4/haarcascades/";
constexpr int kNoCandidateKept = 4;  // more confirmations than there are cues

// The faces the fast mode's detectors find in a photo, with the gradient
// detector or not, and with the cascade's candidates confirmed as told.
struct Detection {
    const char* name;
    bool gradients;
    bool eye;
    int requiredCues;
    std::size_t faces;
};

std::size_t facesIn(const std::string& photo, const Detection& d) {
    static cv::CascadeClassifier face(kHaarCascades + "haarcascade_frontalface_alt.xml");
    static cv::CascadeClassifier eye(kHaarCascades + "haarcascade_eye.xml");
    static dlib::frontal_face_detector gradients = dlib::get_frontal_face_detector();
    const zolvu::FaceDetectors detectors{&face, d.gradients ? &gradients : nullptr, nullptr, d.eye ? &eye : nullptr,
                                         nullptr};
    zolvu::AnalysisSettings settings = zolvu::kFastSettings;
    settings.requiredCues = d.requiredCues;
    // A finer step than the fast mode's gives the cascade more candidates,
    // and so the confirmation more to refuse.
    settings.scaleFactor = 1.2;
    return zolvu::findFaces(working(encodedJpeg(photo, false), settings), settings, detectors).size();
}

TEST(FindFaces, AFaceBothDetectorsFindCountsOnce) {
    for (const Detection& d : std::initializer_list<Detection>{
             {"GradientsAlone", true, true, kNoCandidateKept, 1},
             {"CascadeAlone", false, true, 1, 1},
             {"Both", true, true, 1, 1},
         })
        EXPECT_EQ(facesIn(kGraceHopper, d), d.faces) << d.name;
}

TEST(FindFaces, CascadeCandidateWithoutAnEyeIsNoFace) {
    const std::string blocks = kOpenCvData + "blox.jpg";  // toy blocks on a table
    EXPECT_GE(facesIn(blocks, {"Unconfirmed", false, false, 0, 0}), 1u) << "the photo no longer fools the cascade";
    EXPECT_EQ(facesIn(blocks, {"Confirmed", true, true, 1, 0}), 0u);
}

}  // namespace
