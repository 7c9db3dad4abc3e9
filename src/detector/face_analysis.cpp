#include "face_analysis.h"

#include <algorithm>
#include <future>

#include <dlib/opencv.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace zolvu {

// Chosen on bench/detector's labelled photos (bench/detector/run-accuracy).
// Every photo is brought to a fixed long side: a larger one loses no face
// there, a smaller one scaled up shows the faces below the detectors' windows.
// Both modes join two detectors that miss different faces: dlib's gradient
// (HOG) detector, strong on ordinary frontal faces, and the named cascade,
// which also finds bearded, open-mouthed and turned faces but lists walls and
// leaves too, so its candidates need a confirmation.
// Fast: an eye in the candidate's upper half, and a coarse scale step: the
// gradient detector finds the ordinary faces, the cascade only adds the few
// it misses. (Steps 1.1 to 1.3 found the same photos; 1.3 is the quickest.)
const AnalysisSettings kFastSettings{1000, 1000, 0.1, 1.3, 2, 24, 1};
// Precise: more resolution, a finer step, and two of three cues (mouth,
// eye, a differently trained face cascade) for each cascade candidate.
const AnalysisSettings kPreciseSettings{1200, 1200, 0.1, 1.1, 3, 24, 2};

namespace {

int reducedReadFlag(int denominator) {
    switch (denominator) {
    case 8:
        return cv::IMREAD_REDUCED_GRAYSCALE_8;
    case 4:
        return cv::IMREAD_REDUCED_GRAYSCALE_4;
    case 2:
        return cv::IMREAD_REDUCED_GRAYSCALE_2;
    default:
        return cv::IMREAD_GRAYSCALE;
    }
}

bool found(cv::CascadeClassifier* cascade, const cv::Mat& region, cv::Size minSize) {
    if (cascade == nullptr) return false;
    std::vector<cv::Rect> hits;
    cascade->detectMultiScale(region, hits, 1.1, 3, 0, minSize);
    return !hits.empty();
}

// The cues independent of the cascade's own decision that confirm its
// candidate: a mouth in its lower part, an eye in its upper part, a
// differently trained face cascade around it. Only the given ones count.
int cues(const cv::Mat& grey, const cv::Rect& face, const FaceDetectors& detectors) {
    const int side = face.width;
    const cv::Rect lower(face.x, face.y + face.height * 11 / 20, face.width, face.height * 9 / 20);
    const int mouthMin = std::max(5, side / 6);
    const bool mouth = found(detectors.mouth, grey(lower), {mouthMin * 3 / 2, mouthMin});

    const cv::Rect upper(face.x, face.y + face.height / 8, face.width, face.height / 2);
    const int eyeMin = std::max(5, side / 7);
    const bool eye = found(detectors.eye, grey(upper), {eyeMin, eyeMin});

    const int margin = side / 4;
    const cv::Rect around = cv::Rect(face.x - margin, face.y - margin, side + 2 * margin, face.height + 2 * margin) &
                            cv::Rect(0, 0, grey.cols, grey.rows);
    const int faceMin = side * 3 / 4;
    const bool secondFace = found(detectors.secondFace, grey(around), {faceMin, faceMin});
    return int{mouth} + int{eye} + int{secondFace};
}

std::vector<cv::Rect> gradientFaces(const cv::Mat& grey, dlib::frontal_face_detector& detector) {
    std::vector<cv::Rect> faces;
    for (const dlib::rectangle& r : detector(dlib::cv_image<unsigned char>(grey)))
        faces.emplace_back(static_cast<int>(r.left()), static_cast<int>(r.top()), static_cast<int>(r.width()),
                           static_cast<int>(r.height()));
    return faces;
}

// The two detectors frame a face differently; one whose centre lies in the
// other's rectangle is the same face.
bool sameFace(const cv::Rect& a, const cv::Rect& b) {
    const auto centre = [](const cv::Rect& r) { return cv::Point(r.x + r.width / 2, r.y + r.height / 2); };
    return a.contains(centre(b)) || b.contains(centre(a));
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
        const double scale = static_cast<double>(settings.minimumLongSide) / decodedLongSide;
        cv::resize(grey, grey, cv::Size(), scale, scale, cv::INTER_LINEAR);
    }
    return grey;
}

cv::Mat withSearchMargin(const cv::Mat& grey, double border) {
    const int margin = static_cast<int>(border * std::max(grey.cols, grey.rows));
    cv::Mat framed;
    cv::copyMakeBorder(grey, framed, margin, margin, margin, margin, cv::BORDER_REPLICATE);
    return framed;
}

std::vector<cv::Rect> findFaces(const cv::Mat& grey, const AnalysisSettings& settings, const FaceDetectors& detectors) {
    // The gradient detector runs on one thread; it takes its own beside the
    // cascade's workers, so the two together take about as long as either.
    std::future<std::vector<cv::Rect>> gradientSearch;
    if (detectors.gradients != nullptr)
        gradientSearch = std::async(std::launch::async, gradientFaces, std::cref(grey), std::ref(*detectors.gradients));

    const cv::Mat framed = withSearchMargin(grey, settings.border);
    const int margin = (framed.cols - grey.cols) / 2;
    cv::Mat equalized;
    cv::equalizeHist(framed, equalized);
    std::vector<cv::Rect> candidates;
    detectors.face->detectMultiScale(equalized, candidates, settings.scaleFactor, settings.minNeighbors, 0,
                                     cv::Size(settings.minFace, settings.minFace));
    std::vector<cv::Rect> faces;
    if (gradientSearch.valid()) faces = gradientSearch.get();
    for (const cv::Rect& candidate : candidates) {
        const cv::Rect inPhoto = candidate - cv::Point(margin, margin);
        if (std::any_of(faces.begin(), faces.end(), [&](const cv::Rect& face) { return sameFace(face, inPhoto); }))
            continue;
        if (cues(equalized, candidate, detectors) >= settings.requiredCues) faces.push_back(inPhoto);
    }
    return faces;
}

}  // namespace zolvu
