// Cascade classifiers by bare file name, looked up only in trusted folders
// and loaded once per helper process.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <opencv2/objdetect.hpp>

namespace zolvu {

class CascadeStore {
public:
    // Folders in search order.
    explicit CascadeStore(std::vector<std::string> folders);

    struct Lookup {
        int status = 0;  // 0, or a zolvu_result
        cv::CascadeClassifier* classifier = nullptr;
    };

    // ZOLVU_BAD_ARGUMENT for a name that is not a bare file name, so no name can
    // reach outside the folders; ZOLVU_BAD_CASCADE when missing or corrupt.
    // A failure is not remembered: a cascade installed later is found.
    Lookup get(const std::string& name);

private:
    std::vector<std::string> folders_;
    std::map<std::string, std::unique_ptr<cv::CascadeClassifier>> loaded_;
};

// The folders a helper installed at `helperFolder` trusts: the project's
// "cascades" beside it, then Debian's opencv-data.
std::vector<std::string> trustedCascadeFolders(const std::string& helperFolder);

bool isBareFileName(const std::string& name);

}  // namespace zolvu
