#include "platform/pictures_folder.h"

#include "platform/path_text.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace zolvu {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file, read the way
// xdg-user-dirs reads its own file: XDG_PICTURES_DIR="$HOME/..." or an
// absolute path in double quotes, blanks allowed around "=", "\" taking the
// next character as it is, the first unescaped quote ending the value; any
// other form is passed over, and the last valid line wins.
std::optional<std::string> ReadUserDirsEntry(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::optional<std::string> found;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t i = 0;
        const auto skipBlanks = [&] {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        };
        const auto take = [&](std::string_view token) {
            if (line.compare(i, token.size(), token) != 0) return false;
            i += token.size();
            return true;
        };
        skipBlanks();
        if (!take("XDG_PICTURES_DIR")) continue;
        skipBlanks();
        if (!take("=")) continue;
        skipBlanks();
        if (!take("\"")) continue;
        std::string path;
        if (line.compare(i, 6, "$HOME/") == 0) {
            path = home;
            i += 5;  // the "/" stays
        } else if (i >= line.size() || line[i] != '/') {
            continue;
        }
        for (; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) ++i;
            path += line[i];
        }
        found = path;
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
