#include "cascade_store.h"

#include "zolvulib.h"

#include <sys/stat.h>

namespace zolvu {

CascadeStore::CascadeStore(std::vector<std::string> folders) : folders_(std::move(folders)) {}

bool isBareFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::vector<std::string> trustedCascadeFolders(const std::string& helperFolder) {
    // Beside the helper in the build; the installed layout keeps the helper in
    // <prefix>/lib/zolvu and the cascades in <prefix>/share/zolvu/cascades.
    return {helperFolder + "/cascades", helperFolder + "/../../share/zolvu/cascades",
            "/usr/share/opencv4/haarcascades"};
}

CascadeStore::Lookup CascadeStore::get(const std::string& name) {
    if (!isBareFileName(name)) return {ZOLVU_BAD_ARGUMENT};
    if (const auto found = loaded_.find(name); found != loaded_.end()) return {0, found->second.get()};

    for (const auto& folder : folders_) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) continue;
        // The first file found decides: a corrupt cascade in our own folder is
        // reported, not papered over by another one further down the list.
        if (!S_ISREG(info.st_mode)) return {ZOLVU_BAD_CASCADE};
        auto classifier = std::make_unique<cv::CascadeClassifier>();
        try {
            if (!classifier->load(path) || classifier->empty()) return {ZOLVU_BAD_CASCADE};
        } catch (const cv::Exception&) {
            return {ZOLVU_BAD_CASCADE};
        }
        auto* kept = classifier.get();
        loaded_.emplace(name, std::move(classifier));
        return {0, kept};
    }
    return {ZOLVU_BAD_CASCADE};
}

}  // namespace zolvu
