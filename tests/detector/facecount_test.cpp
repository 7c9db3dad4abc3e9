// facecount through the real module and helper: photographs, hostile files,
// cascade look-up, and the helper's life cycle.
#include "child_processes.h"
#include "detector_module.h"
#include "jpeg_fixtures.h"
#include "temp_folder.h"
#include "zolvulib.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

#if defined(__SANITIZE_ADDRESS__)
constexpr auto kTimeLimit = 12s;  // the module's, see facecount.cpp
#else
constexpr auto kTimeLimit = 4s;  // the module's, see facecount.cpp
#endif

pid_t onlyHelper() {
    const auto children = childProcesses();
    return children.size() == 1 ? children.front() : -1;
}

// kill() returns before the target is gone; its zombie is the sign.
void waitUntilZombie(pid_t pid) {
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
}

// ---------------------------------------------------------------------------
// Real photographs.

struct Photo {
    const char* name;
    std::string path;
    bool hasFace;
};

class RealPhoto : public testing::TestWithParam<Photo> {};

TEST_P(RealPhoto, FoundInBothModesOnlyWhenItShowsAFace) {
    const Photo& photo = GetParam();
    ASSERT_TRUE(fs::exists(photo.path)) << photo.path << " missing: scripts/setup installs its package";
    DetectorModule detector;
    for (int32_t precise : {0, 1}) {
        const int32_t faces = detector.count(photo.path, precise);
        if (photo.hasFace)
            EXPECT_GE(faces, 1) << "precise " << precise;
        else
            EXPECT_EQ(faces, 0) << "precise " << precise;
    }
}

INSTANTIATE_TEST_SUITE_P(Debian, RealPhoto,
                         testing::Values(Photo{"GraceHopper", kGraceHopper, true},
                                         Photo{"Messi", kOpenCvData + "messi5.jpg", true},
                                         Photo{"Fruits", kOpenCvData + "fruits.jpg", false},
                                         Photo{"Building", kOpenCvData + "building.jpg", false},
                                         Photo{"Baboon", kOpenCvData + "baboon.jpg", false},
                                         // The face cascade fires on this aerial photo, with no eye.
                                         Photo{"AerialCity", kOpenCvData + "aero3.jpg", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Files that are not good photographs. Each is made in a fresh folder; the
// result must be the same in both modes.

struct Expect {
    int32_t code;
    bool orMore = false;  // code is a lower bound: "at least this many faces"
};

struct BadInput {
    const char* name;
    std::function<std::string(const TempFolder&)> make;  // returns the path to analyse
    Expect expect;
};

std::string file(const TempFolder& dir, const std::string& bytes) {
    const std::string path = dir / "photo.jpg";
    writeFile(path, bytes);
    return path;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(generator());
    bytes[0] = 'R';  // never a JPEG start by chance
    return bytes;
}

std::string unixSocket(const TempFolder& dir) {
    const std::string path = dir / "socket.jpg";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) throw std::runtime_error("bind");
    ::close(fd);  // the socket file stays
    return path;
}

std::string sparseFileBehindHeader(const TempFolder& dir) {
    const std::string path = file(dir, encodedJpeg(kGraceHopper, false).substr(0, 600));
    fs::resize_file(path, 4ULL << 30);
    return path;
}

const std::vector<BadInput> kBadInputs = {
    {"ZeroBytes", [](const TempFolder& d) { return file(d, ""); }, {ZOLVU_CANNOT_DECODE}},
    {"Text", [](const TempFolder& d) { return file(d, "This is not a photograph.\n"); }, {ZOLVU_CANNOT_DECODE}},
    {"RandomBytes", [](const TempFolder& d) { return file(d, randomBytes(65536)); }, {ZOLVU_CANNOT_DECODE}},
    {"SoiOnly", [](const TempFolder& d) { return file(d, "\xFF\xD8"); }, {ZOLVU_CANNOT_DECODE}},
    {"CutAfterTheHeader",
     [](const TempFolder& d) { return file(d, cutAfterScanHeader(readFile(kGraceHopper))); },
     {ZOLVU_CANNOT_DECODE}},
    {"CutInTheMiddle",
     [](const TempFolder& d) {
         const std::string jpeg = readFile(kGraceHopper);
         return file(d, jpeg.substr(0, jpeg.size() / 2));
     },
     {ZOLVU_CANNOT_DECODE}},
    {"Claims65500Square",
     [](const TempFolder& d) { return file(d, withFrameSize(readFile(kGraceHopper), 65500, 65500)); },
     {ZOLVU_TOO_LARGE}},
    {"Claims30000SquareBaseline",
     [](const TempFolder& d) { return file(d, withFrameSize(encodedJpeg(kGraceHopper, false), 30000, 30000)); },
     {ZOLVU_TOO_LARGE}},
    {"Claims30000SquareProgressive",
     [](const TempFolder& d) { return file(d, withFrameSize(encodedJpeg(kGraceHopper, true), 30000, 30000)); },
     {ZOLVU_TOO_LARGE}},
    {"ZeroWidth",
     [](const TempFolder& d) { return file(d, withFrameSize(readFile(kGraceHopper), 0, 512)); },
     {ZOLVU_CANNOT_DECODE}},
    {"PngNamedJpg", [](const TempFolder& d) { return file(d, encodedPng(kGraceHopper)); }, {1, true}},
    {"Progressive", [](const TempFolder& d) { return file(d, encodedJpeg(kGraceHopper, true)); }, {1, true}},
    {"ExifOrientation6",
     [](const TempFolder& d) { return file(d, rotatedWithOrientation(kGraceHopper, true)); },
     {1, true}},
    {"CorruptExif", [](const TempFolder& d) { return file(d, withCorruptExif(kGraceHopper)); }, {1, true}},
    {"Fifo",
     [](const TempFolder& d) {
         const std::string path = d / "fifo.jpg";
         if (::mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
         return path;
     },
     {ZOLVU_NOT_REGULAR_FILE}},
    {"Socket", unixSocket, {ZOLVU_NOT_REGULAR_FILE}},
    {"LinkToDevZero",
     [](const TempFolder& d) {
         fs::create_symlink("/dev/zero", d / "zero.jpg");
         return d / "zero.jpg";
     },
     {ZOLVU_NOT_REGULAR_FILE}},
    {"DanglingLink",
     [](const TempFolder& d) {
         fs::create_symlink(d / "gone.jpg", d / "dangling.jpg");
         return d / "dangling.jpg";
     },
     {ZOLVU_CANNOT_OPEN}},
    {"Missing", [](const TempFolder& d) { return d / "missing.jpg"; }, {ZOLVU_CANNOT_OPEN}},
    {"Folder",
     [](const TempFolder& d) {
         fs::create_directory(d / "folder.jpg");
         return d / "folder.jpg";
     },
     {ZOLVU_NOT_REGULAR_FILE}},
    {"SparseFourGigabytesBehindAHeader", sparseFileBehindHeader, {ZOLVU_TOO_LARGE}},
};

class BadInputTest : public testing::TestWithParam<BadInput> {
protected:
    static void SetUpTestSuite() {
        // Start the helper and load the cascades of both modes, so that each
        // case times its own work only.
        detector = new DetectorModule;
        detector->count(kGraceHopper, 1);
    }
    static void TearDownTestSuite() {
        delete detector;
        detector = nullptr;
    }
    static DetectorModule* detector;
};
DetectorModule* BadInputTest::detector = nullptr;

TEST_P(BadInputTest, GivesItsCodeQuicklyInBothModes) {
    const BadInput& input = GetParam();
    TempFolder dir;
    const std::string path = input.make(dir);
    for (int32_t precise : {0, 1}) {
        const auto before = Clock::now();
        const int32_t result = detector->count(path, precise);
        const auto took = Clock::now() - before;
        if (input.expect.orMore)
            EXPECT_GE(result, input.expect.code) << "precise " << precise;
        else
            EXPECT_EQ(result, input.expect.code) << "precise " << precise;
        // Refusals come from the header or the descriptor, long before the limit.
        EXPECT_LT(took, kTimeLimit / 2) << "precise " << precise;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BadInputTest, testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Arguments and cascades.

TEST(FaceCountArguments, UnusableArgumentsAreRefused) {
    DetectorModule detector;
    const auto facecount = detector.facecount();
    const char* photo = kGraceHopper.c_str();
    struct Call {
        const char* name;
        const char* image;
        const char* face;
        const char* mouth;
        int32_t precise;
    };
    for (const Call& c : std::initializer_list<Call>{
             {"NullImage", nullptr, kFaceCascade, kMouthCascade, 0},
             {"NullFace", photo, nullptr, kMouthCascade, 0},
             {"NullMouth", photo, kFaceCascade, nullptr, 1},
             {"EmptyImage", "", kFaceCascade, kMouthCascade, 0},
             {"EmptyFace", photo, "", kMouthCascade, 0},
             {"PreciseTwo", photo, kFaceCascade, kMouthCascade, 2},
             {"PreciseNegative", photo, kFaceCascade, kMouthCascade, -1},
             {"FaceWithFolder", photo, "/usr/share/opencv4/haarcascades/haarcascade_frontalface_alt.xml", kMouthCascade,
              0},
             {"FaceClimbsOut", photo, "../haarcascades/haarcascade_frontalface_alt.xml", kMouthCascade, 0},
             {"MouthWithFolder", photo, kFaceCascade, "./haarcascade_mcs_mouth.xml", 0},
         })
        EXPECT_EQ(facecount(c.image, c.face, c.mouth, c.precise), ZOLVU_BAD_ARGUMENT) << c.name;
}

TEST(FaceCountCascades, MissingOrCorruptCascadeIsItsOwnCode) {
    DetectorModule detector;
    const auto facecount = detector.facecount();
    const char* photo = kGraceHopper.c_str();
    EXPECT_EQ(facecount(photo, "haarcascade_none.xml", kMouthCascade, 0), ZOLVU_BAD_CASCADE);
    EXPECT_EQ(facecount(photo, kFaceCascade, "haarcascade_none.xml", 1), ZOLVU_BAD_CASCADE);
    // The fast mode has no use for the mouth cascade.
    EXPECT_EQ(facecount(photo, kFaceCascade, "haarcascade_none.xml", 0), 1);
}

TEST(FaceCountCascades, TruncatedCascadeInOurFolderIsNotPaperedOverByDebians) {
    DetectorModule detector;
    const std::string ours = detector.cascadeFolder() + "/" + kFaceCascade;
    const std::string cascade = readFile(ours);
    writeFile(ours, cascade.substr(0, cascade.size() / 2));
    EXPECT_EQ(detector.count(kGraceHopper), ZOLVU_BAD_CASCADE);
}

TEST(FaceCountCascades, MouthCascadeMissingFailsOnlyThePreciseMode) {
    DetectorModule detector;
    fs::remove(detector.cascadeFolder() + "/" + kMouthCascade);
    EXPECT_EQ(detector.count(kGraceHopper, 1), ZOLVU_BAD_CASCADE);
    EXPECT_EQ(detector.count(kGraceHopper, 0), 1);
}

TEST(FaceCountCascades, NeverReadFromThePhotosFolderOrTheCurrentFolder) {
    TempFolder photos;
    const std::string photo = photos / "portrait.jpg";
    fs::copy_file(kGraceHopper, photo);
    const std::string planted = "planted_frontalface.xml";
    fs::copy_file("/usr/share/opencv4/haarcascades/haarcascade_frontalface_alt.xml", photos / planted);

    const fs::path before = fs::current_path();
    fs::current_path(photos.path());
    DetectorModule detector;
    const int32_t fromPhotoFolder = detector.facecount()(photo.c_str(), planted.c_str(), kMouthCascade, 0);
    fs::current_path(before);
    EXPECT_EQ(fromPhotoFolder, ZOLVU_BAD_CASCADE);
}

TEST(FaceCountCascades, LoadedOnceByEachHelper) {
    DetectorModule detector;
    auto before = Clock::now();
    ASSERT_EQ(detector.count(kGraceHopper, 1), 1);
    const auto first = Clock::now() - before;

    // Spoil every cascade in the trusted folder: a helper that read them again
    // would now fail.
    for (const auto& entry : fs::directory_iterator(detector.cascadeFolder())) writeFile(entry.path(), "spoilt");
    before = Clock::now();
    EXPECT_EQ(detector.count(kGraceHopper, 1), 1);
    const auto second = Clock::now() - before;
    std::cout << "first call " << std::chrono::duration<double, std::milli>(first).count() << " ms, second "
              << std::chrono::duration<double, std::milli>(second).count() << " ms\n";
    EXPECT_LT(second, first);
}

// ---------------------------------------------------------------------------
// The helper process.

TEST(FaceCountHelper, ReplacedAfterItWasKilledBetweenCalls) {
    DetectorModule detector;
    ASSERT_EQ(detector.count(kGraceHopper), 1);
    const pid_t helper = onlyHelper();
    ASSERT_GT(helper, 0);
    ::kill(helper, SIGKILL);
    waitUntilZombie(helper);
    EXPECT_EQ(detector.count(kGraceHopper), 1);
    const pid_t replacement = onlyHelper();
    EXPECT_GT(replacement, 0) << "the dead helper was not reaped, or no new one started";
    EXPECT_NE(replacement, helper);
}

TEST(FaceCountHelper, HungHelperHitsTheTimeLimitAndIsReplaced) {
    DetectorModule detector;
    ASSERT_EQ(detector.count(kGraceHopper), 1);
    const pid_t helper = onlyHelper();
    ASSERT_GT(helper, 0);
    ::kill(helper, SIGSTOP);

    const auto before = Clock::now();
    EXPECT_EQ(detector.count(kGraceHopper), ZOLVU_TIME_LIMIT);
    const auto took = Clock::now() - before;
    EXPECT_GE(took, kTimeLimit - 100ms);
    EXPECT_LT(took, kTimeLimit + 1s);
    EXPECT_TRUE(childProcesses().empty()) << "the hung helper was not killed and reaped";

    EXPECT_EQ(detector.count(kGraceHopper), 1);
}

TEST(FaceCountHelper, UnloadLeavesNoProcess) {
    DetectorModule detector;
    ASSERT_EQ(detector.count(kGraceHopper, 1), 1);
    ASSERT_EQ(childProcesses().size(), 1u);
    detector.unload();
    EXPECT_TRUE(childProcesses().empty());
}

TEST(FaceCountHelper, InheritsNoDescriptorOfTheProgramAndHasAMemoryLimit) {
    TempFolder dir;
    const std::string leaky = dir / "inheritable";
    writeFile(leaky, "x");
    const int fd = ::open(leaky.c_str(), O_RDONLY);  // deliberately without O_CLOEXEC
    DetectorModule detector;
    ASSERT_EQ(detector.count(kGraceHopper), 1);
    const pid_t helper = onlyHelper();
    ASSERT_GT(helper, 0);
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(helper) + "/fd"))
        EXPECT_NE(fs::read_symlink(entry.path()), fs::path(leaky)) << "descriptor " << entry.path().filename();
    ::close(fd);

#if !defined(__SANITIZE_ADDRESS__)  // the helper lifts its limit for AddressSanitizer's shadow memory
    const std::string limits = readFile("/proc/" + std::to_string(helper) + "/limits");
    const auto line = limits.substr(limits.find("Max address space"));
    EXPECT_EQ(line.substr(0, line.find('\n')).find("unlimited"), std::string::npos) << line;
#endif
}

TEST(FaceCountHelper, DiesWithTheProgramThatStartedIt) {
    // Orphans come to this process, which can then wait for the helper.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t program = ::fork();
    if (program == 0) {
        DetectorModule detector;
        const bool counted = detector.count(kGraceHopper) == 1;
        const pid_t helper = counted ? onlyHelper() : -1;
        if (::write(report[1], &helper, sizeof helper) != sizeof helper) _exit(1);
        ::pause();  // killed below, before any destructor can reap the helper
    }
    ::close(report[1]);
    pid_t helper = -1;
    const ssize_t got = ::read(report[0], &helper, sizeof helper);
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof helper));
    ASSERT_GT(helper, 0);

    // The helper ends, by PR_SET_PDEATHSIG or by the channel's end, whichever
    // comes first; a helper that outlived its program would block here.
    EXPECT_EQ(::waitpid(helper, nullptr, 0), helper);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
