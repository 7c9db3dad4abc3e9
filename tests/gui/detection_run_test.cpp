// The detection run of the real form, with the test detector module loaded
// through the real binding: what each kind of run leaves on the form, what
// the detector was asked, and where stop, close and check-box requests taken
// in a hand-over take effect.

#include "../fake_detector/fake_detector.h"
#include "app/main_unit.h"
#include "app/zolvu_const.h"
#include "gui_wait.h"
#include "platform/application.h"
#include "platform/handler_guard.h"
#include "platform/path_text.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// Memory runs out for the next allocation of at least this many bytes; 0
// while no such failure is wanted. Only operator new is affected; Qt's
// containers allocate with malloc. AddressSanitizer brings its own
// allocator, which a replaced operator new would mismatch, so there the
// failure cannot be injected.
static std::atomic<std::size_t> failAllocationFrom{0};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool CanInjectAllocationFailure = false;
#else
constexpr bool CanInjectAllocationFailure = true;
void* operator new(std::size_t size) {
    std::size_t limit = failAllocationFrom.load();
    if (limit != 0 && size >= limit && failAllocationFrom.compare_exchange_strong(limit, 0)) throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#endif

using namespace zolvu;

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// The test module, loaded once per process through initFaceLib.
struct FakeModule {
    FakeCallsFn calls;
    FakeResetFn reset;
    FakeSetCallbackFn setCallback;
    Tfacecount entry;
};

const FakeModule& Fake() {
    static const FakeModule fake = [] {
        QString emsg;
        EXPECT_TRUE(initFaceLib(emsg, QStringLiteral(FAKE_GOOD_DIR "/zolvulib.so"))) << emsg.toStdString();
        return FakeModule{reinterpret_cast<FakeCallsFn>(GetProcAddress(FGlobCLib, "fake_calls")),
                          reinterpret_cast<FakeResetFn>(GetProcAddress(FGlobCLib, "fake_reset")),
                          reinterpret_cast<FakeSetCallbackFn>(GetProcAddress(FGlobCLib, "fake_set_callback")),
                          FGlobFaceCnt};
    }();
    return fake;
}

bool FailingAnswer(const std::string& answer) { return answer == "throw" || answer == "segv" || answer == "overflow"; }

enum class Request { Stop, Close, Tick };

// When a request is made: while idle before the run (handled at once), queued
// before the run starts (so the search's first hand-over takes it), or queued
// while file k (from 1) is being analysed.
constexpr int Idle = -1;
constexpr int DuringSearch = 0;

struct At {
    int file;
    Request request;
};

// What the form showed while the detector worked on one file.
struct Probe {
    bool startEnabled;
    QString status;
};

// A fresh application object (its Terminated starts false), a shown form,
// and a folder of files whose answers are given in the order the search
// finds them.
class RunFixture {
public:
    RunFixture() : outerApplication_(Application) {
        application_.emplace();
        Fake().reset();
        Fake().setCallback(&RunFixture::OnCall, this);
        SetMessageDialogHook([this](const QString& text) { dialogs.push_back(text); });
        form.emplace();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&*form));
    }
    ~RunFixture() {
        SetMessageDialogHook({});
        Fake().reset();
        form.reset();
        application_.reset();
        Application = outerApplication_;
        // Names that are not UTF-8 are beyond QTemporaryDir's own removal.
        for (const auto& path : order) unlink(path.c_str());
    }
    RunFixture(const RunFixture&) = delete;
    RunFixture& operator=(const RunFixture&) = delete;

    // Creates the files, then writes answers[i] into the i-th file in the
    // order the system lists the folder; points the folder box at it.
    void MakeFolder(const std::vector<std::string>& answers, std::vector<std::string> names = {}) {
        for (std::size_t i = names.size(); i < answers.size(); ++i)
            names.push_back("photo" + std::to_string(i) + ".jpg");
        for (const auto& name : names) std::ofstream(folderBytes + "/" + name);
        order.clear();
        DIR* dir = opendir(folderBytes.c_str());
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") order.push_back(folderBytes + "/" + name);
        }
        closedir(dir);
        ASSERT_EQ(order.size(), answers.size());
        for (std::size_t i = 0; i < order.size(); ++i) std::ofstream(order[i]) << answers[i];
        form->Edit1->setText(TextFromSystem(folderBytes));
    }

    void Queue(Request request) {
        QObject* target = form->Button2;
        std::function<void()> act = [this] { form->Button2->click(); };
        if (request == Request::Close) {
            target = &*form;
            act = [this] { form->close(); };
        } else if (request == Request::Tick) {
            target = form->CheckBox1;
            act = [this] { form->CheckBox1->click(); };
        }
        QMetaObject::invokeMethod(target, act, Qt::QueuedConnection);
    }

    void Run() { form->Button1->click(); }

    std::vector<FakeCall> Calls() const { return *Fake().calls(); }
    QStringList Listed() const {
        QStringList entries;
        for (int i = 0; i < form->ListBox1->count(); ++i) entries << form->ListBox1->item(i)->text();
        return entries;
    }

    std::optional<TForm1> form;
    QTemporaryDir folder;
    std::string folderBytes = SystemBytes(folder.path());
    std::vector<std::string> order;  // full paths, in the system's listing order
    std::vector<At> requests;
    std::vector<Probe> probes;
    QStringList dialogs;

private:
    static void OnCall(const char*, void* context) {
        auto* self = static_cast<RunFixture*>(context);
        const int file = static_cast<int>(Fake().calls()->size());
        self->probes.push_back({self->form->Button1->isEnabled(), self->form->Label2->text()});
        for (const At& at : self->requests)
            if (at.file == file) self->Queue(at.request);
    }

    TApplication* outerApplication_;
    std::optional<TApplication> application_;
};

struct RunCase {
    const char* name;
    std::vector<std::string> answers;
    std::vector<At> requests = {};
    int analysed = 0;  // detector calls
    const char* status = "Tehtud !";
    bool stopFlag = false;
    bool stopEnabled = true;
    bool terminated = false;
    int counted = -1;  // FCnt; -1 for every file
    bool tickedBefore = false;
    std::vector<int> precise = {};  // per call; empty: the box's state before the run
    std::vector<std::string> names = {};
};

std::vector<std::string> Times(int n, const char* answer) { return std::vector<std::string>(n, answer); }

const RunCase runCases[] = {
    {.name = "every file positive", .answers = {"1", "2", "7"}, .analysed = 3},
    {.name = "no file positive", .answers = {"0", "0"}, .analysed = 2},
    {.name = "negative results", .answers = {"-1", "-2147483648", "0"}, .analysed = 3},
    {.name = "mixed results", .answers = {"0", "3", "-4", "1"}, .analysed = 4},
    {.name = "a throwing step, then good files", .answers = {"throw", "1", "2"}, .analysed = 3},
    {.name = "a null dereference, then good files", .answers = {"segv", "1", "2"}, .analysed = 3},
    {.name = "a stack overflow, then good files", .answers = {"overflow", "1", "0", "overflow", "5"}, .analysed = 5},
    {.name = "every step fails", .answers = {"throw", "segv", "overflow"}, .analysed = 3},
    {.name = "stop during the search",
     .answers = {"1", "1", "1"},
     .requests = {{DuringSearch, Request::Stop}},
     .stopEnabled = false,
     .counted = 1},
    {.name = "stop while file 3 of 10 is analysed",
     .answers = Times(10, "1"),
     .requests = {{3, Request::Stop}},
     .analysed = 4,
     .status = "Piltide analüüs: 3",
     .stopFlag = true,
     .stopEnabled = false},
    {.name = "stop while the last file is analysed",
     .answers = {"1", "0", "1"},
     .requests = {{3, Request::Stop}},
     .analysed = 3,
     .stopEnabled = false},
    {.name = "stop before the first run", .answers = {"1", "1"}, .requests = {{Idle, Request::Stop}}, .analysed = 2},
    {.name = "stop taken before a failed step",
     .answers = {"1", "throw", "1", "1"},
     .requests = {{1, Request::Stop}},
     .analysed = 3,
     .status = "Piltide analüüs: 1",
     .stopFlag = true,
     .stopEnabled = false},
    {.name = "stop while a failing file is analysed",
     .answers = {"1", "segv", "1", "1", "1"},
     .requests = {{2, Request::Stop}},
     .analysed = 4,
     .status = "Piltide analüüs: 3",
     .stopFlag = true,
     .stopEnabled = false},
    {.name = "stop followed only by failing steps",
     .answers = {"1", "throw", "overflow"},
     .requests = {{1, Request::Stop}},
     .analysed = 3,
     .stopEnabled = false},
    {.name = "close during the search",
     .answers = {"1", "1"},
     .requests = {{DuringSearch, Request::Close}},
     .terminated = true,
     .counted = 1},
    {.name = "close while file 2 of 5 is analysed",
     .answers = Times(5, "1"),
     .requests = {{2, Request::Close}},
     .analysed = 3,
     .status = "Piltide analüüs: 2",
     .terminated = true},
    {.name = "stop and close in the same hand-over",
     .answers = Times(5, "1"),
     .requests = {{2, Request::Stop}, {2, Request::Close}},
     .analysed = 3,
     .status = "Piltide analüüs: 2",
     .stopFlag = true,
     .stopEnabled = false,
     .terminated = true},
    {.name = "box ticked before the run", .answers = {"1", "0"}, .analysed = 2, .tickedBefore = true},
    {.name = "box ticked during the run",
     .answers = Times(4, "1"),
     .requests = {{2, Request::Tick}},
     .analysed = 4,
     .precise = {0, 0, 1, 1}},
    {.name = "box cleared during the run",
     .answers = Times(3, "1"),
     .requests = {{1, Request::Tick}},
     .analysed = 3,
     .tickedBefore = true,
     .precise = {1, 0, 0}},
    {.name = "names as the system's bytes",
     .answers = {"1", "1", "0"},
     .analysed = 3,
     .names = {"\xff\xfe.jpg", "n\xc3\xa4o.JPG", "plain.jpg"}},
};

class DetectionRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(DetectionRun, LeavesTheFormAndTheCallsTheCaseExpects) {
    const RunCase& c = GetParam();
    RunFixture f;
    f.MakeFolder(c.answers, c.names);
    f.requests = c.requests;
    f.form->CheckBox1->setChecked(c.tickedBefore);
    for (const At& at : c.requests) {
        if (at.file == Idle) {
            f.form->Button2->click();
            ASSERT_TRUE(f.form->StopFlag());
            ASSERT_FALSE(f.form->Button2->isEnabled());
        }
        if (at.file == DuringSearch) f.Queue(at.request);
    }

    f.Run();

    const int files = static_cast<int>(c.answers.size());
    const std::vector<FakeCall> calls = f.Calls();
    ASSERT_EQ(static_cast<int>(calls.size()), c.analysed);
    QStringList listed;
    QString status = QStringLiteral("Faile analüüsimiseks: %1").arg(c.counted < 0 ? files : c.counted);
    for (int i = 0; i < c.analysed; ++i) {
        SCOPED_TRACE("call " + std::to_string(i + 1));
        EXPECT_EQ(calls[i].image, f.order[i]);
        EXPECT_EQ(calls[i].face, "haarcascade_frontalface_alt.xml");
        EXPECT_EQ(calls[i].mouth, "haarcascade_mcs_mouth.xml");
        EXPECT_EQ(calls[i].precise, c.precise.empty() ? int(c.tickedBefore) : c.precise[i]);
        EXPECT_FALSE(f.probes[i].startEnabled);
        // The status the form showed during this call: the search's count,
        // or the number of the last step that completed.
        EXPECT_EQ(f.probes[i].status, status);
        if (!FailingAnswer(c.answers[i])) status = QStringLiteral("Piltide analüüs: %1").arg(i + 1);
        if (std::atoi(c.answers[i].c_str()) > 0) listed << TextFromSystem(f.order[i]);
    }
    EXPECT_EQ(f.Listed(), listed);
    EXPECT_EQ(f.form->Count(), c.counted < 0 ? files : c.counted);
    EXPECT_EQ(f.form->StopFlag(), c.stopFlag);
    EXPECT_TRUE(f.form->Button1->isEnabled());
    EXPECT_EQ(f.form->Button2->isEnabled(), c.stopEnabled);
    EXPECT_EQ(f.form->Label2->text(), Utf8(c.status));
    EXPECT_EQ(Application->Terminated(), c.terminated);
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_TRUE(f.dialogs.isEmpty()) << f.dialogs.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Runs, DetectionRun, ::testing::ValuesIn(runCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

// Folder texts that lead to no search, or to a search given the text as typed.
struct FolderCase {
    const char* name;
    std::function<QString(const QString& folder)> text;
    int analysed;
};

const FolderCase folderCases[] = {
    {"empty", [](const QString&) { return QString(); }, 0},
    {"blanks and control characters", [](const QString&) { return QStringLiteral(" \t\r\n "); }, 0},
    {"blank after a real folder is kept", [](const QString& folder) { return folder + u' '; }, 0},
    {"folder already ending in a delimiter", [](const QString& folder) { return folder + u'/'; }, 2},
    {"folder that does not exist", [](const QString& folder) { return folder + QStringLiteral("/missing"); }, 0},
};

class FolderText : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderText, DecidesTheSearchAndEndsWithDone) {
    const FolderCase& c = GetParam();
    RunFixture f;
    f.MakeFolder({"1", "1"});
    f.form->Edit1->setText(c.text(TextFromSystem(f.folderBytes)));
    f.Run();
    const std::vector<FakeCall> calls = f.Calls();
    ASSERT_EQ(static_cast<int>(calls.size()), c.analysed);
    for (int i = 0; i < c.analysed; ++i) EXPECT_EQ(calls[i].image, f.order[i]);  // one delimiter, not two
    EXPECT_EQ(f.form->Count(), c.analysed);
    EXPECT_EQ(f.form->ListBox1->count(), c.analysed);
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
    EXPECT_FALSE(f.form->StopFlag());
    EXPECT_TRUE(f.form->Button1->isEnabled());
    EXPECT_TRUE(f.dialogs.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Runs, FolderText, ::testing::ValuesIn(folderCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST(DetectionRunAlone, StopDuringARunWithoutHandOverIsHandledAfterItAsAnIdleClick) {
    RunFixture f;
    f.form->Edit1->setText(QStringLiteral("   "));
    f.Queue(Request::Stop);
    f.Run();
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
    EXPECT_FALSE(f.form->StopFlag());
    EXPECT_TRUE(f.form->Button2->isEnabled());
    EXPECT_EQ(f.form->Count(), 0);

    EXPECT_EQ_SOON(f.form->StopFlag(), true);
    EXPECT_FALSE(f.form->Button2->isEnabled());
    EXPECT_TRUE(f.form->Button1->isEnabled());
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
}

TEST(DetectionRunAlone, EmptyEntryPointFailsEveryStepSilently) {
    RunFixture f;
    f.MakeFolder({"1", "2"});
    const HMODULE good = FGlobCLib;
    QString emsg;
    ASSERT_TRUE(initFaceLib(emsg, QStringLiteral(FAKE_NOEXPORT_DIR "/zolvulib.so")));
    const HMODULE noExport = FGlobCLib;
    ASSERT_EQ(FGlobFaceCnt, nullptr);

    f.Run();

    FreeLibrary(noExport);
    FGlobCLib = good;
    FGlobFaceCnt = Fake().entry;
    EXPECT_TRUE(f.Calls().empty());
    EXPECT_EQ(f.form->ListBox1->count(), 0);
    EXPECT_EQ(f.form->Count(), 2);
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
    EXPECT_FALSE(f.form->StopFlag());
    EXPECT_TRUE(f.form->Button1->isEnabled());
    EXPECT_TRUE(f.dialogs.isEmpty());
}

// Memory that runs out while the search copies the folder name for the
// system: the run guard swallows it and the run ends as a normal one.
TEST(DetectionRunAlone, FailureInsideTheRunIsSwallowedWithDone) {
    if (!CanInjectAllocationFailure) GTEST_SKIP() << "AddressSanitizer's allocator cannot be made to fail";
    RunFixture f;
    f.MakeFolder({"1"});
    f.form->Edit1->setText(QString(20000, u'x'));
    failAllocationFrom = 16384;
    f.Run();
    EXPECT_EQ(failAllocationFrom.load(), 0u) << "the allocation did not fail";
    failAllocationFrom = 0;
    EXPECT_TRUE(f.Calls().empty());
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
    EXPECT_FALSE(f.form->StopFlag());
    EXPECT_TRUE(f.form->Button1->isEnabled());
    EXPECT_EQ(f.form->Count(), 0);
    EXPECT_TRUE(f.dialogs.isEmpty()) << f.dialogs.join(u'\n').toStdString();
}

TEST(DetectionRunAlone, NextRunAfterAnEarlyEndStartsAfreshAndKeepsThePreview) {
    RunFixture f;
    f.MakeFolder({"1", "1", "1"});
    f.requests = {{1, Request::Stop}};
    f.Run();
    ASSERT_TRUE(f.form->StopFlag());
    ASSERT_EQ(f.form->ListBox1->count(), 2);
    const QString shown = f.form->ListBox1->item(1)->text();
    QTest::mouseClick(f.form->ListBox1->viewport(), Qt::LeftButton, {},
                      f.form->ListBox1->visualItemRect(f.form->ListBox1->item(1)).center());
    ASSERT_EQ(f.form->Edit2->text(), shown);

    Fake().reset();
    Fake().setCallback(
        [](const char*, void* context) {
            auto* fixture = static_cast<RunFixture*>(context);
            // The first call of the second run already sees the fresh start.
            if (Fake().calls()->size() == 1) {
                EXPECT_FALSE(fixture->form->StopFlag());
                EXPECT_TRUE(fixture->form->Button2->isEnabled());
                EXPECT_EQ(fixture->form->ListBox1->count(), 0);
            }
        },
        &f);
    f.Run();
    EXPECT_EQ(f.Calls().size(), 3u);
    EXPECT_EQ(f.form->ListBox1->count(), 3);
    EXPECT_EQ(f.form->Edit2->text(), shown);
    EXPECT_EQ(f.form->Label2->text(), QStringLiteral("Tehtud !"));
    EXPECT_TRUE(f.form->Button2->isEnabled());
}

// The application's own event loop: a close while idle ends it, and a close
// during the analysis ends it once the start handler has returned.
TEST(DetectionRunAlone, CloseWhileIdleEndsTheEventLoop) {
    TApplication* const outer = Application;
    {
        TApplication application;
        application.CreateForm(Form1);
        QMetaObject::invokeMethod(
            qApp, [] { Form1->close(); }, Qt::QueuedConnection);
        application.Run();
        EXPECT_TRUE(application.Terminated());
        ASSERT_NE(Form1, nullptr);
        EXPECT_TRUE(Form1->isVisible());
        application.DestroyComponents();
    }
    Application = outer;
}

TEST(DetectionRunAlone, CloseDuringTheAnalysisEndsTheEventLoopAfterTheRun) {
    TApplication* const outer = Application;
    {
        TApplication application;
        application.CreateForm(Form1);
        QTemporaryDir folder;
        for (int i = 0; i < 4; ++i) std::ofstream(SystemBytes(folder.path()) + "/p" + std::to_string(i) + ".jpg") << 1;
        Fake().reset();
        Fake().setCallback(
            [](const char*, void*) {
                if (Fake().calls()->size() == 2)
                    QMetaObject::invokeMethod(
                        Form1, [] { Form1->close(); }, Qt::QueuedConnection);
            },
            nullptr);
        bool runReturned = false;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                Form1->Edit1->setText(folder.path());
                Form1->Button1->click();
                runReturned = true;
            },
            Qt::QueuedConnection);
        application.Run();
        EXPECT_TRUE(runReturned);
        EXPECT_TRUE(application.Terminated());
        EXPECT_EQ(Fake().calls()->size(), 3u);
        EXPECT_EQ(Form1->Label2->text(), QStringLiteral("Piltide analüüs: 2"));
        EXPECT_FALSE(Form1->StopFlag());
        Fake().reset();
        application.DestroyComponents();
    }
    Application = outer;
}

}  // namespace
