// The folder box's starting value: the pictures folder with one trailing
// "/", taken when the form is created; and the failure that must end the
// start-up when no folder can be named.

#include "app/main_unit.h"
#include "platform/exceptions.h"
#include "platform/fatal_report.h"
#include "platform/path_text.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

using namespace zolvu;

namespace {

// A scratch home folder for one test, with HOME and XDG_CONFIG_HOME set to
// it (or HOME unset) and both put back afterwards.
class ScratchHome {
public:
    explicit ScratchHome(const char* userDirs) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zolvu-home-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        home_ = pattern;
        if (userDirs) {
            std::filesystem::create_directories(home_ + "/.config");
            std::ofstream(home_ + "/.config/user-dirs.dirs", std::ios::binary) << userDirs;
        }
        Save("HOME", oldHome_);
        Save("XDG_CONFIG_HOME", oldConfig_);
        setenv("HOME", home_.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;
    ~ScratchHome() {
        Restore("HOME", oldHome_);
        Restore("XDG_CONFIG_HOME", oldConfig_);
        std::filesystem::remove_all(home_);
    }
    const std::string& Home() const { return home_; }

private:
    static void Save(const char* name, std::optional<std::string>& old) {
        if (const char* value = getenv(name)) old = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& old) {
        if (old)
            setenv(name, old->c_str(), 1);
        else
            unsetenv(name);
    }
    std::string home_;
    std::optional<std::string> oldHome_;
    std::optional<std::string> oldConfig_;
};

}  // namespace

TEST(DefaultFolder, FolderBoxStartsWithThePicturesFolderAndOneDelimiter) {
    const struct {
        const char* name;
        const char* userDirs;  // nullptr: no file
        std::string expected;  // after the home folder
    } cases[] = {
        {"named by the user-dirs file", "XDG_PICTURES_DIR=\"$HOME/Fotod\"\n", "/Fotod/"},
        {"a delimiter already there is not doubled", "XDG_PICTURES_DIR=\"$HOME/\"\n", "/"},
        {"the fallback when no file names it", nullptr, "/Pictures/"},
        {"bytes that are not UTF-8 come through unchanged", "XDG_PICTURES_DIR=\"$HOME/pildid \xe4\"\n",
         "/pildid \xe4/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScratchHome home(c.userDirs);
        const auto form = std::make_unique<TForm1>();
        EXPECT_EQ(SystemBytes(form->Edit1->text()), home.Home() + c.expected);
        EXPECT_FALSE(std::filesystem::exists(home.Home() + "/Pictures")) << "the folder must not be created";
    }
}

TEST(DefaultFolder, NoHomeMeansNoFormAndTheStartUpReport) {
    const ScratchHome home(nullptr);
    unsetenv("HOME");
    std::exception_ptr error;
    try {
        TForm1 form;
        ADD_FAILURE() << "the form was created without a home folder";
    } catch (const Exception&) {
        error = std::current_exception();
    }
    ASSERT_TRUE(error);
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "Exception");
        EXPECT_EQ(e.Message(), QStringLiteral("Could not find MyDocuments folder location."));
    }
    const QString report = FatalReportText(error);
    EXPECT_TRUE(report.startsWith(QStringLiteral("Exception Exception in module "))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(QStringLiteral(".\r\nCould not find MyDocuments folder location.\r\n")))
        << report.toStdString();
}
