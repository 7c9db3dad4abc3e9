#include "analysis.h"

#include "face_analysis.h"
#include "image_file.h"
#include "image_header.h"
#include "zolvulib.h"

#include <new>

namespace zolvu {
namespace {

// dlib's model is compiled in; it is built once, on the helper's first count.
dlib::frontal_face_detector& gradientDetector() {
    static dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    return detector;
}

// The detectors a request uses: the two cascades it names, the fixed
// verifying ones (the eye in both modes, the mouth and a second face cascade
// in the precise mode; the mouth cascade is needed only there) and the
// gradient detector.
struct DetectorChoice {
    int32_t status = 0;
    FaceDetectors detectors{};
};

DetectorChoice chooseDetectors(const DetectRequest& request, CascadeStore& store) {
    // Names are checked up front: a bad mouth cascade name is the caller's
    // mistake in either mode.
    if (!isBareFileName(request.faceCascade) || !isBareFileName(request.mouthCascade)) return {ZOLVU_BAD_ARGUMENT, {}};
    DetectorChoice choice;
    auto take = [&](const std::string& name, cv::CascadeClassifier*& slot) {
        if (choice.status != 0) return;
        const auto lookup = store.get(name);
        choice.status = lookup.status;
        slot = lookup.classifier;
    };
    take(request.faceCascade, choice.detectors.face);
    take("haarcascade_eye.xml", choice.detectors.eye);
    if (request.precise) {
        take(request.mouthCascade, choice.detectors.mouth);
        take("haarcascade_frontalface_default.xml", choice.detectors.secondFace);
    }
    choice.detectors.gradients = &gradientDetector();
    return choice;
}

int32_t count(std::span<const unsigned char> bytes, const FaceDetectors& detectors, bool precise) {
    const ImageHeader header = readImageHeader(bytes);
    if (header.status != 0) return header.status;
    const AnalysisSettings& settings = precise ? kPreciseSettings : kFastSettings;
    cv::Mat grey;
    try {
        grey = decodeWorkingImage(bytes, header, settings);
    } catch (const cv::Exception&) {
        return ZOLVU_CANNOT_DECODE;
    }
    if (grey.empty()) return ZOLVU_CANNOT_DECODE;
    return static_cast<int32_t>(findFaces(grey, settings, detectors).size());
}

template <typename Work>
int32_t guarded(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return ZOLVU_TOO_LARGE;
    } catch (...) {
        // A cascade that loads but fails while detecting.
        return ZOLVU_BAD_CASCADE;
    }
}

}  // namespace

int32_t analyseBytes(std::span<const unsigned char> bytes, const DetectRequest& request, CascadeStore& store) {
    return guarded([&] {
        const DetectorChoice choice = chooseDetectors(request, store);
        if (choice.status != 0) return choice.status;
        return count(bytes, choice.detectors, request.precise != 0);
    });
}

int32_t analyseFile(const DetectRequest& request, CascadeStore& store) {
    return guarded([&] {
        const DetectorChoice choice = chooseDetectors(request, store);
        if (choice.status != 0) return choice.status;
        const ImageFile file = readImageFile(request.image);
        if (file.status != 0) return file.status;
        return count(file.bytes, choice.detectors, request.precise != 0);
    });
}

}  // namespace zolvu
