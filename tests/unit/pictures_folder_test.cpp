// The pictures folder as the desktop names it, from a scratch home folder
// with user-dirs.dirs files written by each case.

#include "platform/pictures_folder.h"
#include "platform/path_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

using namespace zolvu;

namespace {

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::filesystem::path& folder) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;
    ~ScopedWorkingFolder() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

enum class Home { Set, Unset, Empty };

struct Case {
    const char* name;
    Home home;
    const char* configHome;   // nullptr: unset; "$S/..." lies in the scratch folder
    const char* homeConfig;   // $HOME/.config/user-dirs.dirs, nullptr: none
    const char* otherConfig;  // $S/cfg/user-dirs.dirs, nullptr: none
    const char* expected;     // "$H" is the home folder; nullptr: cannot be named
};

const Case cases[] = {
    {"no file: the fallback", Home::Set, nullptr, nullptr, nullptr, "$H/Pictures"},
    {"home-relative entry", Home::Set, nullptr, "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", nullptr, "$H/Bilder"},
    {"absolute entry", Home::Set, nullptr, "XDG_PICTURES_DIR=\"/srv/fotod\"\n", nullptr, "/srv/fotod"},
    {"the home folder itself keeps its slash", Home::Set, nullptr, "XDG_PICTURES_DIR=\"$HOME/\"\n", nullptr, "$H/"},
    {"comments, other keys and blanks", Home::Set, nullptr,
     "# XDG_PICTURES_DIR=\"/wrong\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n \tXDG_PICTURES_DIR = \"$HOME/Pildid\"\n",
     nullptr, "$H/Pildid"},
    {"escaped quotes and backslashes", Home::Set, nullptr, "XDG_PICTURES_DIR=\"$HOME/a \\\"b\\\" \\\\c\" # \"note\"\n",
     nullptr, "$H/a \"b\" \\c"},
    {"the last valid line wins", Home::Set, nullptr,
     "XDG_PICTURES_DIR=\"$HOME/first\"\nXDG_PICTURES_DIR=\"/second\"\nXDG_PICTURES_DIR=\"relative\"\n", nullptr,
     "/second"},
    {"a relative value is passed over", Home::Set, nullptr, "XDG_PICTURES_DIR=\"Pictures2\"\n", nullptr, "$H/Pictures"},
    {"an unquoted value is passed over", Home::Set, nullptr, "XDG_PICTURES_DIR=/srv/x\n", nullptr, "$H/Pictures"},
    {"$HOMEX is not $HOME", Home::Set, nullptr, "XDG_PICTURES_DIR=\"$HOMEX/y\"\n", nullptr, "$H/Pictures"},
    {"a longer key is another key", Home::Set, nullptr, "XDG_PICTURES_DIRS=\"/x\"\n", nullptr, "$H/Pictures"},
    {"bytes that are not UTF-8 are kept", Home::Set, nullptr, "XDG_PICTURES_DIR=\"$HOME/pildid \xe4\xf5\"\n", nullptr,
     "$H/pildid \xe4\xf5"},
    {"XDG_CONFIG_HOME is honoured", Home::Set, "$S/cfg", "XDG_PICTURES_DIR=\"/from-home\"\n",
     "XDG_PICTURES_DIR=\"/from-config-home\"\n", "/from-config-home"},
    {"XDG_CONFIG_HOME without a file: the fallback", Home::Set, "$S/cfg", "XDG_PICTURES_DIR=\"/from-home\"\n", nullptr,
     "$H/Pictures"},
    {"a relative XDG_CONFIG_HOME counts as unset", Home::Set, "cfg", "XDG_PICTURES_DIR=\"/from-home\"\n",
     "XDG_PICTURES_DIR=\"/from-relative\"\n", "/from-home"},
    {"HOME unset", Home::Unset, "$S/cfg", nullptr, "XDG_PICTURES_DIR=\"/srv/x\"\n", nullptr},
    {"HOME empty", Home::Empty, "$S/cfg", nullptr, "XDG_PICTURES_DIR=\"/srv/x\"\n", nullptr},
};

class PicturesFolderTest : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(PicturesFolderTest, NamesTheFolderAsTheDesktopDoes) {
    const Case& c = GetParam();
    std::string pattern = (std::filesystem::temp_directory_path() / "zolvu-pictures-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path scratch = pattern;
    const std::string home = (scratch / "home").string();
    std::filesystem::create_directories(home);
    if (c.homeConfig) Write(scratch / "home/.config/user-dirs.dirs", c.homeConfig);
    if (c.otherConfig) Write(scratch / "cfg/user-dirs.dirs", c.otherConfig);

    std::optional<QString> folder;
    {
        const std::string configHome = c.configHome ? Replace(c.configHome, "$S", scratch.string()) : "";
        const ScopedEnv homeEnv("HOME", c.home == Home::Set ? home.c_str() : c.home == Home::Empty ? "" : nullptr);
        const ScopedEnv configEnv("XDG_CONFIG_HOME", c.configHome ? configHome.c_str() : nullptr);
        const ScopedWorkingFolder inScratch(scratch);  // where a relative XDG_CONFIG_HOME would lead
        folder = PicturesFolder();
    }

    if (!c.expected) {
        EXPECT_FALSE(folder.has_value());
    } else {
        ASSERT_TRUE(folder.has_value());
        EXPECT_EQ(SystemBytes(*folder), Replace(c.expected, "$H", home));
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "home/Pictures")) << "the folder must not be created";
    std::filesystem::remove_all(scratch);
}

INSTANTIATE_TEST_SUITE_P(Cases, PicturesFolderTest, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });
