#include "platform/pictures_folder.h"

#include "platform/path_text.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace zolvu {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file, in the file's own
// shell-like form: XDG_PICTURES_DIR="$HOME/Pictures" (only "$HOME/" or an
// absolute path is allowed, and \ escapes the next character).
std::optional<std::string> ReadUserDirsEntry(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    std::optional<std::string> found;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() < 2 || value.front() != '"') continue;
        const auto close = value.find_last_of('"');
        if (close == 0) continue;
        std::string raw = value.substr(1, close - 1);
        std::string path;
        if (raw.rfind("$HOME", 0) == 0 && (raw.size() == 5 || raw[5] == '/')) {
            path = home;
            raw.erase(0, 5);
        } else if (raw.empty() || raw.front() != '/') {
            continue;
        }
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
            path += raw[i];
        }
        found = path;  // the last assignment wins, as in the shell
    }
    return found;
}

}  // namespace

std::optional<QString> PicturesFolder() {
    const std::string home = Env("HOME");
    if (home.empty()) return std::nullopt;
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = home + "/.config";
    const auto entry = ReadUserDirsEntry(config + "/user-dirs.dirs", home);
    return TextFromSystem(entry ? *entry : home + "/Pictures");
}

}  // namespace zolvu
