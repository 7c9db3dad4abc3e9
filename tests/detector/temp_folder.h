// A fresh folder under /tmp, removed with everything in it at scope end.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `path`, replacing what was there.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
