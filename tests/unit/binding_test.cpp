#include "app/zolvu_const.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cerrno>

using namespace zolvu;

namespace {

QString Module(const char* dir) { return QString::fromUtf8(dir) + QStringLiteral("/zolvulib.so"); }

class Binding : public ::testing::Test {
protected:
    void SetUp() override {
        FGlobCLib = nullptr;
        FGlobFaceCnt = nullptr;
    }
    void TearDown() override {
        if (FGlobCLib) FreeLibrary(FGlobCLib);
    }
};

}  // namespace

TEST_F(Binding, MissingLibraryFailsWithTheLoadersTextAndCode) {
    QString emsg = QStringLiteral("untouched");
    EXPECT_FALSE(initFaceLib(emsg, QStringLiteral("/nonexistent/zolvulib.so")));
    EXPECT_EQ(GetLastError(), ENOENT);
    EXPECT_EQ(emsg, QStringLiteral("System Error.  Code: 2.\r\n/nonexistent/zolvulib.so: cannot open shared object "
                                   "file: No such file or directory"));
    EXPECT_EQ(FGlobCLib, nullptr);
    EXPECT_EQ(FGlobFaceCnt, nullptr);
}

TEST_F(Binding, FileThatIsNoLibraryFailsWithTheLoadersTextAndAnExplainedCode) {
    QString emsg;
    EXPECT_FALSE(initFaceLib(emsg, QDir::tempPath()));  // a folder
    EXPECT_TRUE(emsg.startsWith(QStringLiteral("System Error.  Code: "))) << emsg.toStdString();
    EXPECT_NE(GetLastError(), 0);
}

TEST_F(Binding, LibraryWithoutTheExportLoadsWithAnEmptyEntryPoint) {
    QString emsg = QStringLiteral("untouched");
    EXPECT_TRUE(initFaceLib(emsg, Module(FAKE_NOEXPORT_DIR)));
    EXPECT_NE(FGlobCLib, nullptr);
    EXPECT_EQ(FGlobFaceCnt, nullptr);
    EXPECT_EQ(emsg, QStringLiteral("untouched"));
}

TEST_F(Binding, GoodLibraryResolvesFacecount) {
    QString emsg = QStringLiteral("untouched");
    EXPECT_TRUE(initFaceLib(emsg, Module(FAKE_GOOD_DIR)));
    ASSERT_NE(FGlobFaceCnt, nullptr);
    EXPECT_EQ(FGlobFaceCnt("/nonexistent.jpg", CZolvuHaarCascadeDefFile, CZolvuMouthCsacadeDefFile, 0), -1);
    EXPECT_EQ(emsg, QStringLiteral("untouched"));
}

TEST(LoaderMessage, CodeComesFromTheEndOfTheMessage) {
    EXPECT_EQ(ErrnoFromLoaderMessage(QStringLiteral("x.so: cannot open shared object file: No such file or directory")),
              ENOENT);
    EXPECT_EQ(ErrnoFromLoaderMessage(QStringLiteral("x.so: cannot read file data: Is a directory")), EISDIR);
    EXPECT_EQ(ErrnoFromLoaderMessage(QStringLiteral("x.so: invalid ELF header")), ELIBBAD);
}
