// Selecting a listed file in the real window: what the path box and the
// picture show for each kind of file, and which failures reach the dialog.

#include "preview_test_files.h"

#include "app/main_unit.h"
#include "app/preview_load.h"
#include "app/zolvu_const.h"
#include "platform/exceptions.h"
#include "platform/handler_guard.h"
#include "platform/image_view.h"
#include "platform/path_text.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace zolvu;
using namespace zolvu::test;

namespace {

// A socket in the file system exists but cannot be opened, for root too.
void BindSocket(const QString& path, int& fd) {
    fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string bytes = SystemBytes(path);
    ASSERT_LT(bytes.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, bytes.c_str(), bytes.size() + 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
}

QString OpenErrorDialog(const QString& absolutePath, int error) {
    return QStringLiteral("Cannot open file \"%1\". %2.")
        .arg(absolutePath, QString::fromLocal8Bit(std::strerror(error)));
}

class Preview : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetMessageDialogHook([this](const QString& text) { dialogs << text; });
        form = std::make_unique<TForm1>();
    }
    void TearDown() override {
        SetMessageDialogHook({});
        if (socketFd >= 0) close(socketFd);
        // QTemporaryDir cannot remove a name that is not valid UTF-8.
        if (!undecodable.isEmpty()) unlink(SystemBytes(undecodable).c_str());
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Jpeg(const QString& name, int width, int height) {
        WriteFile(Path(name), Encode(TwoColour(width, height), "jpeg"));
        return Path(name);
    }

    // Lists the path and moves the selection onto it as the user would.
    void Select(const QString& path) {
        form->ListBox1->Add(path);
        QTest::keyClick(form->ListBox1, Qt::Key_End);
    }
    const QImage& Picture() const { return form->Image1->Bitmap(); }

    QTemporaryDir dir;
    QStringList dialogs;
    std::unique_ptr<TForm1> form;
    int socketFd = -1;
    QString undecodable;
};

template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

bool Reddish(QRgb c) { return qRed(c) > 200 && qBlue(c) < 60; }
bool Bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; }

struct ShownCase {
    const char* name;
    std::function<QString(Preview&)> make;  // writes the file, gives the listed path
    QSize size;                             // of the picture shown
    QPoint red, blue;                       // a pixel of each colour in it
};

class PreviewShows : public Preview, public ::testing::WithParamInterface<ShownCase> {};

const ShownCase shownCases[] = {
    {"a real JPEG",
     [](Preview& t) { return t.Jpeg(QStringLiteral("photo.jpg"), 640, 480); },
     {640, 480},
     {100, 240},
     {540, 240}},
    // Over Qt's default 128 MB allocation limit.
    {"48 megapixels",
     [](Preview& t) { return t.Jpeg(QStringLiteral("big.jpg"), 8000, 6000); },
     {8000, 6000},
     {1000, 3000},
     {7000, 3000}},
    // Stored lying on its side, tagged "rotate 90 clockwise": shown upright,
    // the stored left half on top.
    {"EXIF-rotated portrait",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("portrait.jpg")), WithExifOrientation(Encode(TwoColour(200, 100), "jpeg"), 6));
         return t.Path(QStringLiteral("portrait.jpg"));
     },
     {100, 200},
     {50, 30},
     {50, 170}},
    {"PNG named .jpg",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("really.png.jpg")), Encode(TwoColour(64, 48), "png"));
         return t.Path(QStringLiteral("really.png.jpg"));
     },
     {64, 48},
     {10, 24},
     {54, 24}},
    {"name not valid UTF-8",
     [](Preview& t) {
         const QString path = IncludeTrailingPathDelimiter(t.dir.path()) + TextFromSystem("caf\xE9\xFF.jpg");
         WriteFile(path, Encode(TwoColour(40, 20), "jpeg"));
         t.undecodable = path;
         return path;
     },
     {40, 20},
     {5, 10},
     {35, 10}},
};

TEST_P(PreviewShows, TheDecodedPictureAtFullSize) {
    const ShownCase& c = GetParam();
    const QString path = c.make(*this);
    Select(path);
    EXPECT_EQ(form->Edit2->text(), path) << c.name;
    EXPECT_EQ(Picture().size(), c.size) << c.name;
    EXPECT_EQ(Picture().depth(), 32) << c.name;
    if (!Picture().isNull()) {
        EXPECT_TRUE(Reddish(Picture().pixel(c.red))) << c.name;
        EXPECT_TRUE(Bluish(Picture().pixel(c.blue))) << c.name;
    }
    EXPECT_TRUE(dialogs.isEmpty()) << c.name << ": " << dialogs.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Load, PreviewShows, ::testing::ValuesIn(shownCases), CaseName<ShownCase>);

struct KeptCase {
    const char* name;
    std::function<QString(Preview&)> make;
};

class PreviewKeeps : public Preview, public ::testing::WithParamInterface<KeptCase> {};

const KeptCase keptCases[] = {
    {"deleted file",
     [](Preview& t) {
         const QString path = t.Jpeg(QStringLiteral("gone.jpg"), 10, 10);
         QFile::remove(path);
         return path;
     }},
    {"folder",
     [](Preview& t) {
         QDir(t.dir.path()).mkdir(QStringLiteral("folder.jpg"));
         return t.Path(QStringLiteral("folder.jpg"));
     }},
    // Read without O_NONBLOCK, a FIFO with no writer would never open.
    {"FIFO",
     [](Preview& t) {
         EXPECT_EQ(mkfifo(SystemBytes(t.Path(QStringLiteral("fifo.jpg"))).c_str(), 0644), 0);
         return t.Path(QStringLiteral("fifo.jpg"));
     }},
    {"zero bytes",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("empty.jpg")), {});
         return t.Path(QStringLiteral("empty.jpg"));
     }},
    {"truncated inside the header",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("cut.jpg")), Encode(TwoColour(64, 64), "jpeg").left(40));
         return t.Path(QStringLiteral("cut.jpg"));
     }},
    {"not a picture",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("text.jpg")), "1\n");
         return t.Path(QStringLiteral("text.jpg"));
     }},
    {"header claiming 30000 x 30000",
     [](Preview& t) {
         WriteFile(t.Path(QStringLiteral("forged.jpg")),
                   WithClaimedSize(Encode(TwoColour(64, 64), "jpeg", true), 30000, 30000));
         return t.Path(QStringLiteral("forged.jpg"));
     }},
};

TEST_P(PreviewKeeps, ThePictureAndShowsNoMessage) {
    const KeptCase& c = GetParam();
    Select(Jpeg(QStringLiteral("before.jpg"), 30, 20));
    ASSERT_EQ(Picture().size(), QSize(30, 20));
    const qint64 before = Picture().cacheKey();
    const QString path = c.make(*this);
    Select(path);
    EXPECT_EQ(form->Edit2->text(), path) << c.name;
    EXPECT_EQ(Picture().cacheKey(), before) << c.name;
    EXPECT_TRUE(dialogs.isEmpty()) << c.name << ": " << dialogs.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Load, PreviewKeeps, ::testing::ValuesIn(keptCases), CaseName<KeptCase>);

// What a picture cut short shows is the decoder's matter; it must neither
// fail nor report.
TEST_F(Preview, TruncatedDataShowsNoMessage) {
    const QByteArray whole = Encode(TwoColour(256, 256), "jpeg");
    WriteFile(Path(QStringLiteral("half.jpg")), whole.left(whole.size() / 2));
    Select(Path(QStringLiteral("half.jpg")));
    EXPECT_TRUE(Picture().isNull() || Picture().size() == QSize(256, 256));
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(Preview, ForgedHugeHeaderIsRefusedBeforeDecoding) {
    WriteFile(Path(QStringLiteral("forged.jpg")),
              WithClaimedSize(Encode(TwoColour(256, 256), "jpeg", true), 30000, 30000));
    ASSERT_TRUE(ResetPeakResident());
    const long start = PeakResidentKiB();
    EXPECT_FALSE(LoadBitmapFromFile(Path(QStringLiteral("forged.jpg"))));
    EXPECT_LT(PeakResidentKiB() - start, 64 * 1024) << "KiB of peak memory grew while refusing";
}

TEST_F(Preview, FileThatCannotBeOpenedReachesTheDialog) {
    BindSocket(Path(QStringLiteral("socket.jpg")), socketFd);
    Select(Jpeg(QStringLiteral("before.jpg"), 30, 20));
    const qint64 before = Picture().cacheKey();
    Select(Path(QStringLiteral("socket.jpg")));
    EXPECT_EQ(form->Edit2->text(), Path(QStringLiteral("socket.jpg")));
    EXPECT_EQ(Picture().cacheKey(), before);
    EXPECT_EQ(dialogs, QStringList{OpenErrorDialog(Path(QStringLiteral("socket.jpg")), ENXIO)});
}

class InFolder {
public:
    explicit InFolder(const QString& folder) : previous_(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~InFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

TEST_F(Preview, RelativePathResolvesAgainstTheCurrentFolder) {
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    Jpeg(QStringLiteral("sub/pic.jpg"), 24, 12);
    BindSocket(Path(QStringLiteral("socket.jpg")), socketFd);
    const InFolder inside(dir.path());
    Select(QStringLiteral("sub/pic.jpg"));
    EXPECT_EQ(Picture().size(), QSize(24, 12));
    // The message names the file by its absolute path, "." and ".." resolved.
    Select(QStringLiteral("sub/../socket.jpg"));
    EXPECT_EQ(dialogs,
              QStringList{OpenErrorDialog(QDir(dir.path()).canonicalPath() + QStringLiteral("/socket.jpg"), ENXIO)});
}

TEST_F(Preview, TextTypedIntoThePathBoxIsNeverLoaded) {
    const QString first = Jpeg(QStringLiteral("first.jpg"), 30, 20);
    const QString second = Jpeg(QStringLiteral("second.jpg"), 40, 20);
    Select(first);
    form->Edit2->clear();
    QTest::keyClicks(form->Edit2, second);
    QTest::keyClick(form->Edit2, Qt::Key_Return);
    EXPECT_EQ(Picture().size(), QSize(30, 20));
    Select(second);
    EXPECT_EQ(form->Edit2->text(), second);
    EXPECT_EQ(Picture().size(), QSize(40, 20));
}

TEST_F(Preview, ReselectingTheSelectedEntryDoesNotReload) {
    const QString path = Jpeg(QStringLiteral("a.jpg"), 30, 20);
    form->ListBox1->Add(path);
    form->ListBox1->Add(Jpeg(QStringLiteral("b.jpg"), 40, 20));
    QTest::keyClick(form->ListBox1, Qt::Key_Home);
    Jpeg(QStringLiteral("a.jpg"), 50, 20);  // changed on disk since
    QTest::keyClick(form->ListBox1, Qt::Key_Home);
    EXPECT_EQ(Picture().size(), QSize(30, 20));
    QTest::keyClick(form->ListBox1, Qt::Key_Down);
    QTest::keyClick(form->ListBox1, Qt::Key_Up);
    EXPECT_EQ(Picture().size(), QSize(50, 20));
}

TEST_F(Preview, NewRunKeepsThePathBoxAndThePicture) {
    const QString path = Jpeg(QStringLiteral("a.jpg"), 30, 20);
    Select(path);
    const qint64 before = Picture().cacheKey();
    QDir(dir.path()).mkdir(QStringLiteral("empty"));
    form->Edit1->setText(Path(QStringLiteral("empty")));
    form->Button1->click();
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(form->Edit2->text(), path);
    EXPECT_EQ(Picture().cacheKey(), before);
    // Nothing of the new list is selected, so its first entry previews.
    Select(Jpeg(QStringLiteral("b.jpg"), 40, 20));
    EXPECT_EQ(Picture().size(), QSize(40, 20));
}

// The failure of a preview inside a run's event hand-over is shown there;
// the run waits for the dialog and then goes on.
struct RunProbe {
    Preview* test = nullptr;
    QString listedPath;
    int calls = 0;
    int callsAtDialog = -1;
};
RunProbe* probe = nullptr;

TEST_F(Preview, OpenErrorDuringARunIsShownAndTheRunGoesOn) {
    QString emsg;
    ASSERT_TRUE(initFaceLib(emsg, QStringLiteral(FAKE_GOOD_DIR "/zolvulib.so"))) << emsg.toStdString();
    auto* setCallback = reinterpret_cast<void (*)(void (*)(const char*))>(dlsym(FGlobCLib, "fake_set_callback"));
    ASSERT_NE(setCallback, nullptr);
    QDir(dir.path()).mkdir(QStringLiteral("tree"));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        WriteFile(Path(QStringLiteral("tree/") + QLatin1String(name)), "1");
    RunProbe run;
    run.test = this;
    probe = &run;
    SetMessageDialogHook([this](const QString& text) {
        dialogs << text;
        probe->callsAtDialog = probe->calls;
    });
    // While the second file is analysed, the first listed one turns into a
    // file that cannot be opened, and the user selects it.
    setCallback([](const char*) {
        if (++probe->calls != 2) return;
        TListBox* list = probe->test->form->ListBox1;
        probe->listedPath = list->item(0)->text();
        QFile::remove(probe->listedPath);
        BindSocket(probe->listedPath, probe->test->socketFd);
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier));
    });
    form->Edit1->setText(Path(QStringLiteral("tree")));
    form->Button1->click();
    setCallback(nullptr);
    finalizeFaceLib();
    probe = nullptr;
    EXPECT_EQ(dialogs, QStringList{OpenErrorDialog(run.listedPath, ENXIO)});
    EXPECT_EQ(run.callsAtDialog, 2);
    EXPECT_EQ(run.calls, 4);
    EXPECT_EQ(form->Edit2->text(), run.listedPath);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Tehtud !"));
}

// Permission denied: only a user without root's override sees it, so the
// load runs in a child that has dropped to nobody.
void LoadAsNobody(const QString& path, const QString& expected) {
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
        std::_Exit(3);
    try {
        LoadBitmapFromFile(path);
    } catch (const EFOpenError& e) {
        if (e.Message() == expected) std::_Exit(0);
        std::fprintf(stderr, "message: %s\n", e.Message().toUtf8().constData());
        std::_Exit(1);
    }
    std::_Exit(2);
}

TEST(PreviewDeathTest, UnreadableFileRaisesOpenErrorWithTheSystemText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString path = dir.filePath(QStringLiteral("private.jpg"));
    WriteFile(path, Encode(TwoColour(8, 8), "jpeg"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    const QString expected = QStringLiteral("Cannot open file \"%1\". Permission denied").arg(path);
    EXPECT_EXIT(LoadAsNobody(path, expected), ::testing::ExitedWithCode(0), "");
}

}  // namespace
