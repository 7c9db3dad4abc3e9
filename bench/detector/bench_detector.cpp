// Accuracy and speed of facecount on a labelled set of photographs, beside
// the textbook Haar call and dlib's HOG face detector, all in one run.
//
// Usage: zolvu-bench-detector LABELS MODULE [PER_IMAGE_CSV]
//   LABELS: lines "face|none<TAB>path"; MODULE: path of zolvulib.so.
#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/opencv.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

namespace {

using FaceCount = int32_t (*)(const char*, const char*, const char*, int32_t);
using Clock = std::chrono::steady_clock;

constexpr const char* kFaceCascade = "haarcascade_frontalface_alt.xml";
constexpr const char* kMouthCascade = "haarcascade_mcs_mouth.xml";

struct Photo {
    bool hasFace;
    std::string path;
    double megapixels;
};

struct Tally {
    std::string name;
    std::function<int(const std::string&)> count;
    int truePositive = 0, falsePositive = 0, falseNegative = 0, falseFaces = 0, errors = 0;
    double totalMs = 0, largeMs = 0, slowestMs = 0;
    int large = 0;
    std::string slowest{};
    std::vector<int> counts{};
};

std::vector<Photo> readLabels(const std::string& file) {
    std::vector<Photo> photos;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string label, path;
        std::getline(fields, label, '\t');
        std::getline(fields, path);
        // The header alone gives the size; no decode needed.
        cv::Mat probe = cv::imread(path, cv::IMREAD_REDUCED_GRAYSCALE_8);
        const double megapixels = probe.empty() ? 0 : probe.total() * 64 / 1e6;
        photos.push_back({label == "face", path, megapixels});
    }
    return photos;
}

double ratio(double a, double b) { return b > 0 ? a / b : 0; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: " << argv[0] << " LABELS MODULE [PER_IMAGE_CSV]\n";
        return 2;
    }
    const auto photos = readLabels(argv[1]);
    void* module = ::dlopen(argv[2], RTLD_NOW);
    if (module == nullptr) {
        std::cerr << ::dlerror() << "\n";
        return 1;
    }
    const auto facecount = reinterpret_cast<FaceCount>(::dlsym(module, "facecount"));

    cv::CascadeClassifier textbook("/usr/share/opencv4/haarcascades/haarcascade_frontalface_alt.xml");
    dlib::frontal_face_detector hog = dlib::get_frontal_face_detector();

    std::vector<Tally> tallies = {
        {"fast (precise=0)",
         [&](const std::string& p) { return facecount(p.c_str(), kFaceCascade, kMouthCascade, 0); }},
        {"precise (precise=1)",
         [&](const std::string& p) { return facecount(p.c_str(), kFaceCascade, kMouthCascade, 1); }},
        {"textbook Haar",
         [&](const std::string& p) {
             cv::Mat grey = cv::imread(p, cv::IMREAD_GRAYSCALE);
             if (grey.empty()) return -1;
             cv::equalizeHist(grey, grey);
             std::vector<cv::Rect> faces;
             textbook.detectMultiScale(grey, faces, 1.1, 3, 0, cv::Size(30, 30));
             return static_cast<int>(faces.size());
         }},
        {"dlib HOG",
         [&](const std::string& p) {
             cv::Mat colour = cv::imread(p, cv::IMREAD_COLOR);
             if (colour.empty()) return -1;
             dlib::array2d<dlib::bgr_pixel> image;
             dlib::assign_image(image, dlib::cv_image<dlib::bgr_pixel>(colour));
             // As dlib's own example does, look for small faces in small photos.
             if (std::max(colour.cols, colour.rows) < 1000) dlib::pyramid_up(image);
             return static_cast<int>(hog(image).size());
         }},
    };

    // Start the helper and load its cascades before anything is timed.
    for (int precise : {0, 1}) facecount(photos.front().path.c_str(), kFaceCascade, kMouthCascade, precise);

    // Photo by photo, every method in turn: a change in the machine's load
    // then weighs on all of them alike.
    for (const auto& photo : photos) {
        for (auto& tally : tallies) {
            const auto before = Clock::now();
            const int faces = tally.count(photo.path);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - before).count();
            tally.counts.push_back(faces);
            tally.totalMs += ms;
            if (photo.megapixels >= 2) {
                tally.largeMs += ms;
                ++tally.large;
            }
            if (ms > tally.slowestMs) {
                tally.slowestMs = ms;
                tally.slowest = photo.path;
            }
            if (faces < 0) ++tally.errors;
            if (photo.hasFace) {
                (faces > 0 ? tally.truePositive : tally.falseNegative)++;
            } else if (faces > 0) {
                ++tally.falsePositive;
                tally.falseFaces += faces;
            }
        }
    }

    int withFaces = 0;
    for (const auto& photo : photos) withFaces += photo.hasFace;
    std::printf("%zu photos: %d with faces, %zu without; %d of 2 megapixels or more\n\n", photos.size(), withFaces,
                photos.size() - withFaces, tallies.front().large);
    std::printf("%-20s %9s %7s %6s %4s %4s %11s %7s %9s %9s %9s\n", "method", "precision", "recall", "F1", "FP", "FN",
                "false faces", "errors", "ms/image", "ms >=2MP", "slowest");
    const Tally& textbookTally = tallies[2];
    for (const auto& t : tallies) {
        const double precision = ratio(t.truePositive, t.truePositive + t.falsePositive);
        const double recall = ratio(t.truePositive, t.truePositive + t.falseNegative);
        const double f1 = ratio(2 * precision * recall, precision + recall);
        std::printf("%-20s %9.3f %7.3f %6.3f %4d %4d %11d %7d %9.1f %9.1f %9.1f\n", t.name.c_str(), precision, recall,
                    f1, t.falsePositive, t.falseNegative, t.falseFaces, t.errors, t.totalMs / photos.size(),
                    t.large ? t.largeMs / t.large : 0.0, t.slowestMs);
    }
    std::printf("\nspeed-up over the textbook call (its time / this time):\n");
    for (const auto& t : tallies)
        std::printf("  %-20s all photos %5.2fx   photos >= 2 MP %5.2fx\n", t.name.c_str(),
                    ratio(textbookTally.totalMs, t.totalMs), ratio(textbookTally.largeMs, t.largeMs));
    for (const auto& t : tallies)
        std::printf("slowest for %s: %s (%.0f ms)\n", t.name.c_str(), t.slowest.c_str(), t.slowestMs);

    if (argc > 3) {
        std::ofstream csv(argv[3]);
        csv << "label,megapixels,path";
        for (const auto& t : tallies) csv << "," << t.name;
        csv << "\n";
        for (std::size_t i = 0; i < photos.size(); ++i) {
            csv << (photos[i].hasFace ? "face" : "none") << "," << photos[i].megapixels << "," << photos[i].path;
            for (const auto& t : tallies) csv << "," << t.counts[i];
            csv << "\n";
        }
    }
    ::dlclose(module);
}
