// The folder search's own cost per entry, beside a bare readdir+stat walk
// of the same generated tree of 10,000 entries, in the same run. The search
// keeps its hand-over (an empty event dispatch), stop test and status text;
// only the 10 ms pause is made zero, so what is left is the search itself.
// Prints both times and their ratio; the search should stay under 3 times
// the bare walk.

#include "app/folder_search.h"
#include "platform/path_text.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Folders = 100;
constexpr int FilesPerFolder = 99;  // 100 folders + 9,900 files = 10,000 entries
constexpr int Rounds = 15;

std::string MakeTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zolvu-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::exit(2);
    for (int d = 0; d < Folders; ++d) {
        const std::string folder = pattern + "/folder" + std::to_string(d);
        mkdir(folder.c_str(), 0755);
        for (int f = 0; f < FilesPerFolder; ++f) {
            const std::string file = folder + "/photo " + std::to_string(f) + (f % 3 ? ".jpg" : ".txt");
            close(open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        }
    }
    return pattern;
}

// The least a search must do: list every folder and stat every entry.
long BareWalk(const std::string& folder) {
    long entries = 0;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.' && (!entry->d_name[1] || (entry->d_name[1] == '.' && !entry->d_name[2]))) continue;
        ++entries;
        struct stat st {};
        if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            entries += BareWalk(folder + "/" + entry->d_name);
    }
    closedir(dir);
    return entries;
}

template <class F>
double Seconds(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string tree = MakeTree();
    const QString pPath = zolvu::TextFromSystem(tree + "/");

    long entries = 0;
    int collected = 0;
    QString status;
    bool stop = false;
    const zolvu::SearchEnvironment env{
        [] { QCoreApplication::processEvents(); },
        [](int) {},
        [&] {
            ++entries;
            return stop;
        },
        [&](const QString& text) { status = text; },
    };

    std::vector<double> searchTimes;
    std::vector<double> bareTimes;
    long bareEntries = 0;
    BareWalk(tree);  // warm the caches for both
    for (int round = 0; round < Rounds; ++round) {
        bareTimes.push_back(Seconds([&] { bareEntries = BareWalk(tree); }));
        entries = 0;
        QStringList pfilelist;
        std::int32_t FCnt = 0;
        searchTimes.push_back(Seconds([&] { zolvu::reqSearch(pPath, pfilelist, FCnt, env); }));
        collected = FCnt;
    }
    std::filesystem::remove_all(tree);

    const double search = Median(searchTimes) / static_cast<double>(entries) * 1e6;
    const double bare = Median(bareTimes) / static_cast<double>(bareEntries) * 1e6;
    std::printf("entries: %ld (search), %ld (bare walk); collected: %d\n", entries, bareEntries, collected);
    std::printf("search: %.3f us/entry, bare readdir+stat: %.3f us/entry, ratio: %.2f (limit 3)\n", search, bare,
                search / bare);
    return search / bare < 3.0 ? 0 : 1;
}
