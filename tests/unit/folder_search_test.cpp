// The folder search on real trees made in a temporary folder. What the
// search should do is predicted by the test's own walk of each tree: readdir
// gives the order, and the test's layout (not the entries' attributes or the
// names' extensions) says which folders are entered and which files listed.

#include "app/folder_search.h"
#include "platform/path_text.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

using namespace zolvu;

namespace {

const std::string StatusPrefix = "Faile analüüsimiseks: ";

void Check(int result, const std::string& what) {
    if (result != 0) throw std::system_error(errno, std::generic_category(), what);
}

// A scratch folder, removed with everything below it (links are removed,
// not followed); folders locked by the test are opened again first.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zolvu-search-XXXXXX").string();
        if (!mkdtemp(pattern.data())) Check(-1, "mkdtemp");
        base_ = pattern;
        Check(chmod(base_.c_str(), 0755), "chmod " + base_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        for (const auto& path : locked_) chmod(path.c_str(), 0755);
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }

    const std::string& Base() const { return base_; }
    std::string operator/(const std::string& relative) const { return base_ + "/" + relative; }

    void Folder(const std::string& relative) const { Check(mkdir((*this / relative).c_str(), 0755), relative); }
    void File(const std::string& relative, mode_t mode = 0644) const {
        const int fd = open((*this / relative).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) Check(-1, relative);
        close(fd);
    }
    void Link(const std::string& target, const std::string& relative) const {
        Check(symlink(target.c_str(), (*this / relative).c_str()), relative);
    }
    void Fifo(const std::string& relative) const { Check(mkfifo((*this / relative).c_str(), 0644), relative); }
    void Socket(const std::string& relative) const {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) Check(-1, "socket");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = *this / relative;
        if (path.size() >= sizeof address.sun_path) throw std::length_error("socket path too long: " + path);
        std::strcpy(address.sun_path, path.c_str());
        const int bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        close(fd);
        Check(bound, relative);
    }
    // Without any permission: not even its owner can list it.
    void Lock(const std::string& relative) {
        locked_.push_back(*this / relative);
        Check(chmod(locked_.back().c_str(), 0), relative);
    }

private:
    std::string base_;
    std::vector<std::string> locked_;
};

// What the test declares about a tree below its root: the folders (and
// folder links) the search must enter, and the files it must list, as
// paths relative to the root.
struct Layout {
    std::set<std::string> enter;
    std::set<std::string> collected;
};

// The outcome the search must have: the listed paths as bytes, and the
// trace of its calls to the environment.
struct Prediction {
    std::vector<std::string> paths;
    std::vector<std::string> trace;
    std::set<std::string> seen;  // every entry met, relative to the root
};

std::string StatusLine(std::size_t count) {
    const std::string n = std::to_string(count);
    return "status " + StatusPrefix + n + " list=" + n + " count=" + n;
}

void AddHandOver(std::vector<std::string>& trace) { trace.insert(trace.end(), {"hand-over", "sleep 10", "stop test"}); }

void Predict(const std::string& root, const std::string& relative, const Layout& layout, Prediction& prediction) {
    DIR* dir = opendir((root + "/" + relative).c_str());
    if (!dir) throw std::system_error(errno, std::generic_category(), "prediction cannot list " + relative);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = relative.empty() ? name : relative + "/" + name;
        prediction.seen.insert(path);
        if (layout.enter.count(path)) {
            Predict(root, path, layout, prediction);
        } else if (layout.collected.count(path)) {
            prediction.paths.push_back(root + "/" + path);
            prediction.trace.push_back(StatusLine(prediction.paths.size()));
        }
        AddHandOver(prediction.trace);
    }
    closedir(dir);
}

Prediction Predict(const std::string& root, const Layout& layout) {
    Prediction prediction;
    Predict(root, "", layout, prediction);
    return prediction;
}

// Runs the search and records every call it makes to its environment. A
// search that makes far more hand-overs than a tree has entries is stopped,
// so a search that runs away fails instead of walking the whole machine.
struct RecordedSearch {
    std::vector<std::string> trace;
    QStringList list;
    std::int32_t count = 0;
    bool stop = false;
    std::size_t handOverLimit = 100000;
    bool ranAway = false;
    std::function<void()> duringHandOver;

    void Run(const QString& pPath) {
        std::size_t handOvers = 0;
        const SearchEnvironment env{
            [&] {
                trace.push_back("hand-over");
                if (++handOvers > handOverLimit) ranAway = true;
                if (duringHandOver) duringHandOver();
            },
            [&](int milliseconds) { trace.push_back("sleep " + std::to_string(milliseconds)); },
            [&] {
                trace.push_back("stop test");
                return stop || ranAway;
            },
            [&](const QString& text) {
                trace.push_back("status " + text.toStdString() + " list=" + std::to_string(list.size()) +
                                " count=" + std::to_string(count));
            },
        };
        reqSearch(pPath, list, count, env);
    }

    std::vector<std::string> PathBytes() const {
        std::vector<std::string> bytes;
        for (const auto& path : list) bytes.push_back(SystemBytes(path));
        return bytes;
    }
};

QString FolderText(const std::string& bytes) { return TextFromSystem(bytes + "/"); }

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir)) ++n;
    closedir(dir);
    return n;
}

// Root reads every folder whatever its permissions. A test that needs a
// folder to be unreadable calls this first: as root it runs its own test
// again as the unprivileged user 65534 and reports that run's outcome, and
// returns false; otherwise it returns true and the body goes on.
bool RunningUnprivileged() {
    if (geteuid() != 0) return true;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::array<char, 4096> program{};
    const ssize_t n = readlink("/proc/self/exe", program.data(), program.size() - 1);
    if (n <= 0) {
        ADD_FAILURE() << "cannot find the test program";
        return false;
    }
    const std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                                std::string(program.data(), static_cast<std::size_t>(n)) +
                                "' --gtest_filter=" + test->test_suite_name() + "." + test->name() + " 2>&1";
    FILE* child = popen(command.c_str(), "r");
    if (!child) {
        ADD_FAILURE() << "cannot start " << command;
        return false;
    }
    std::string output;
    std::array<char, 4096> buffer{};
    while (const std::size_t got = fread(buffer.data(), 1, buffer.size(), child)) output.append(buffer.data(), got);
    const int status = pclose(child);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    return false;
}

}  // namespace

// Every collection rule in one tree, including the links that lead back
// onto the descent path: to the searched folder, to the folder above it,
// and to "/". Entering any of them would list the searched tree again or
// files outside it.
TEST(FolderSearch, TreeIsSearchedByEveryRuleInReaddirOrder) {
    if (!RunningUnprivileged()) return;
    ScratchFolder scratch;
    scratch.Folder("outside");
    scratch.File("outside/beside.jpg");
    scratch.Folder("tree");
    const std::string latin1 = "vana \xe4\xf5.jpg";  // not UTF-8
    for (const char* name : {"a.JPG", "b.Jpg", "c.jpG", "d.jpeg", "e.jpe", "f.jfif", "photo.jpg.bak", ".jpg", "jpg",
                             ".hidden.jpg", "back\\slash.jpg", "plain.jpg"})
        scratch.File(std::string("tree/") + name);
    scratch.File("tree/" + latin1);
    scratch.File("tree/readonly.jpg", 0444);
    scratch.Folder("tree/holiday.jpg");
    scratch.File("tree/holiday.jpg/inside.jpg");
    scratch.Folder("tree/.hiddendir");
    scratch.File("tree/.hiddendir/h.jpg");
    scratch.Fifo("tree/fifo.jpg");
    scratch.Socket("tree/socket.jpg");
    scratch.Link("missing.jpg", "tree/dangling.jpg");
    scratch.Link("plain.jpg", "tree/filelink.jpg");
    scratch.Folder("tree/locked");
    scratch.File("tree/locked/unseen.jpg");
    scratch.Lock("tree/locked");
    scratch.Folder("tree/sub");
    scratch.File("tree/sub/s.jpg");
    scratch.Link("..", "tree/sub/to-tree");
    scratch.Link("../..", "tree/sub/to-above");
    scratch.Link("/", "tree/sub/to-root");
    scratch.Folder("tree/sub/deep");
    scratch.File("tree/sub/deep/d.jpg");
    scratch.Link("sub/deep", "tree/route");  // a second route, no cycle

    const Layout layout{
        {"holiday.jpg", ".hiddendir", "sub", "sub/deep", "route"},
        {"a.JPG", "b.Jpg", "c.jpG", ".jpg", ".hidden.jpg", "back\\slash.jpg", "plain.jpg", latin1, "readonly.jpg",
         "holiday.jpg/inside.jpg", ".hiddendir/h.jpg", "filelink.jpg", "sub/s.jpg", "sub/deep/d.jpg", "route/d.jpg"},
    };
    const std::string root = scratch / "tree";
    const Prediction expected = Predict(root, layout);
    for (const auto& name : layout.collected) EXPECT_TRUE(expected.seen.count(name)) << "fixture lacks " << name;
    for (const char* name :
         {"fifo.jpg", "socket.jpg", "dangling.jpg", "locked", "sub/to-tree", "sub/to-above", "sub/to-root"})
        EXPECT_TRUE(expected.seen.count(name)) << "fixture lacks " << name;

    RecordedSearch search;
    search.handOverLimit = 10 * expected.seen.size();
    search.Run(FolderText(root));

    EXPECT_FALSE(search.ranAway);
    EXPECT_EQ(search.PathBytes(), expected.paths);
    EXPECT_EQ(search.trace, expected.trace);
    EXPECT_EQ(search.count, static_cast<std::int32_t>(search.list.size()));
    struct stat st {};
    for (const auto& path : search.list) EXPECT_EQ(stat(SystemBytes(path).c_str(), &st), 0) << path.toStdString();
}

// The exact sequence of calls: a status line after each collected file (and
// only then), one hand-over, a 10 ms pause and a stop test after every entry
// but "." and "..", a folder's after its whole subtree, nothing for an
// empty folder's own level.
TEST(FolderSearch, StatusHandOverPauseAndStopTestFollowEachEntry) {
    struct Case {
        const char* name;
        std::vector<const char*> folders;
        std::vector<const char*> files;
        Layout layout;
    };
    const Case cases[] = {
        {"mixed",
         {"empty", "sub"},
         {"x.jpg", "y.JPG", "note.txt", "sub/z.jpg", "sub/w.png"},
         {{"empty", "sub"}, {"x.jpg", "y.JPG", "sub/z.jpg"}}},
        {"nothing collected", {"sub"}, {"note.txt", "sub/q.png", "sub/jpg"}, {{"sub"}, {}}},
        {"empty", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        for (const char* folder : c.folders) scratch.Folder(folder);
        for (const char* file : c.files) scratch.File(file);
        const Prediction expected = Predict(scratch.Base(), c.layout);

        RecordedSearch search;
        search.Run(FolderText(scratch.Base()));

        EXPECT_EQ(search.trace, expected.trace);
        EXPECT_EQ(search.PathBytes(), expected.paths);
        EXPECT_EQ(search.count, static_cast<std::int32_t>(search.list.size()));
    }
}

// A folder that cannot be listed yields nothing at all: no hand-over, no
// pause, no stop test, no status.
TEST(FolderSearch, UnlistableFolderEndsSilently) {
    if (!RunningUnprivileged()) return;
    ScratchFolder scratch;
    scratch.File("file.jpg");
    scratch.Folder("locked");
    scratch.File("locked/a.jpg");
    scratch.Lock("locked");
    std::string tooLong = scratch.Base();
    while (tooLong.size() <= PATH_MAX) tooLong += "/x";
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", scratch / "none"},
        {"a file", scratch / "file.jpg"},
        {"no permission", scratch / "locked"},
        {"too long a path", tooLong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordedSearch search;
        search.Run(FolderText(c.path));
        EXPECT_TRUE(search.trace.empty());
        EXPECT_TRUE(search.list.isEmpty());
        EXPECT_EQ(search.count, 0);
    }
}

// A stop or an exception in a hand-over three folders down: no further
// entry at any level; after a stop each enclosing level makes one more
// hand-over, pause and stop test; every enumeration is closed either way.
TEST(FolderSearch, EndDeepInTheTreeUnwindsEveryLevel) {
    ScratchFolder scratch;
    for (const char* folder : {"d1", "d1/d2", "d1/d2/d3"}) scratch.Folder(folder);
    for (const char* file : {"a.jpg", "n.txt", "d1/b.jpg", "d1/m.txt", "d1/d2/c.jpg", "d1/d2/d3/x.jpg",
                             "d1/d2/d3/y.jpg", "d1/d2/d3/z.jpg"})
        scratch.File(file);
    const Layout layout{{"d1", "d1/d2", "d1/d2/d3"},
                        {"a.jpg", "d1/b.jpg", "d1/d2/c.jpg", "d1/d2/d3/x.jpg", "d1/d2/d3/y.jpg", "d1/d2/d3/z.jpg"}};
    const std::string deepest = scratch / "d1/d2/d3/";
    std::vector<std::string> collectedBeforeEnd;
    for (const auto& path : Predict(scratch.Base(), layout).paths) {
        collectedBeforeEnd.push_back(path);
        if (path.rfind(deepest, 0) == 0) break;
    }

    for (const bool byException : {false, true}) {
        SCOPED_TRACE(byException ? "exception" : "stop");
        const std::size_t descriptorsBefore = OpenDescriptors();
        RecordedSearch search;
        std::size_t endAt = 0;
        search.duringHandOver = [&] {
            if (endAt || search.list.isEmpty() || SystemBytes(search.list.back()).rfind(deepest, 0) != 0) return;
            endAt = search.trace.size();
            EXPECT_EQ(OpenDescriptors(), descriptorsBefore + 4) << "one open enumeration per level";
            if (byException) throw std::runtime_error("failure in a hand-over");
            search.stop = true;
        };
        if (byException) {
            EXPECT_THROW(search.Run(FolderText(scratch.Base())), std::runtime_error);
        } else {
            search.Run(FolderText(scratch.Base()));
        }

        ASSERT_NE(endAt, 0u);
        std::vector<std::string> afterEnd(search.trace.begin() + static_cast<std::ptrdiff_t>(endAt),
                                          search.trace.end());
        std::vector<std::string> expectedAfterEnd;
        if (!byException) {
            expectedAfterEnd = {"sleep 10", "stop test"};
            for (int level = 0; level < 3; ++level) AddHandOver(expectedAfterEnd);
        }
        EXPECT_EQ(afterEnd, expectedAfterEnd);
        EXPECT_EQ(search.PathBytes(), collectedBeforeEnd);
        EXPECT_EQ(search.count, static_cast<std::int32_t>(search.list.size()));
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    }
}
