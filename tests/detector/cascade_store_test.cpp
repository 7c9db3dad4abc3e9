// Cascade look-up: only bare names, only the trusted folders, loaded once.
#include "cascade_store.h"

#include "temp_folder.h"
#include "zolvulib.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const std::string kDebianFace = "/usr/share/opencv4/haarcascades/haarcascade_frontalface_alt.xml";
const std::string kName = "haarcascade_frontalface_alt.xml";

class CascadeStoreTest : public testing::Test {
protected:
    TempFolder first;
    TempFolder second;
    zolvu::CascadeStore store{{first.path().string(), second.path().string()}};
};

TEST_F(CascadeStoreTest, NamesThatAreNotBareFileNamesAreBadArguments) {
    for (const std::string& name : std::initializer_list<std::string>{"", ".", "..", "../" + kName, kDebianFace,
                                                                      "sub/" + kName, std::string("a\0b", 3)})
        EXPECT_EQ(store.get(name).status, ZOLVU_BAD_ARGUMENT) << "name: " << name;
}

TEST_F(CascadeStoreTest, UnusableFilesAreBadCascades) {
    const std::string good = readFile(kDebianFace);
    writeFile(first / "truncated.xml", good.substr(0, good.size() / 2));
    writeFile(first / "empty.xml", "");
    writeFile(first / "text.xml", "not a cascade");
    std::filesystem::create_directory(first / "folder.xml");
    ASSERT_EQ(::mkfifo((first / "fifo.xml").c_str(), 0600), 0);
    for (const char* name : {"missing.xml", "truncated.xml", "empty.xml", "text.xml", "folder.xml", "fifo.xml"}) {
        const auto lookup = store.get(name);
        EXPECT_EQ(lookup.status, ZOLVU_BAD_CASCADE) << name;
        EXPECT_EQ(lookup.classifier, nullptr) << name;
    }
}

TEST_F(CascadeStoreTest, LoadedOnceAndKept) {
    std::filesystem::copy_file(kDebianFace, first / kName);
    const auto loaded = store.get(kName);
    ASSERT_EQ(loaded.status, 0);
    ASSERT_NE(loaded.classifier, nullptr);
    std::filesystem::remove(first / kName);
    const auto again = store.get(kName);
    EXPECT_EQ(again.status, 0) << "the file was read a second time";
    EXPECT_EQ(again.classifier, loaded.classifier);
}

TEST_F(CascadeStoreTest, SearchesTheFoldersInOrderAndTheFirstFileDecides) {
    std::filesystem::copy_file(kDebianFace, second / kName);
    EXPECT_EQ(store.get(kName).status, 0) << "not found in the second folder";

    zolvu::CascadeStore fresh({first.path().string(), second.path().string()});
    writeFile(first / kName, "corrupt");
    EXPECT_EQ(fresh.get(kName).status, ZOLVU_BAD_CASCADE) << "a corrupt first file was passed over";
}

TEST_F(CascadeStoreTest, AFailureIsNotRemembered) {
    EXPECT_EQ(store.get(kName).status, ZOLVU_BAD_CASCADE);
    std::filesystem::copy_file(kDebianFace, first / kName);
    EXPECT_EQ(store.get(kName).status, 0);
}

TEST(TrustedCascadeFolders, OwnFolderFirstThenTheInstalledOneThenDebian) {
    EXPECT_EQ(zolvu::trustedCascadeFolders("/opt/zolvu"),
              (std::vector<std::string>{"/opt/zolvu/cascades", "/opt/zolvu/../../share/zolvu/cascades",
                                        "/usr/share/opencv4/haarcascades"}));
}

}  // namespace
