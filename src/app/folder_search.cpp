#include "app/folder_search.h"

#include "platform/file_search.h"
#include "platform/path_text.h"

#include <algorithm>
#include <vector>

namespace zolvu {

namespace {

// One search under one folder. The descent path holds the folders from "/"
// down to the one being listed; a folder link that leads back onto it is
// not entered, so a link to an ancestor cannot make the search go round.
class FolderSearch {
public:
    FolderSearch(QStringList& pfilelist, std::int32_t& FCnt, const SearchEnvironment& env,
                 std::vector<FileIdentity> descent)
        : pfilelist_(pfilelist), FCnt_(FCnt), env_(env), descent_(std::move(descent)) {}

    // Lists pPath, which search holds open at its first entry.
    void List(const QString& pPath, TSearchRec& search) {
        do {
            if (search.Name == u"." || search.Name == u"..") continue;
            if ((search.Attr & faDirectory) == faDirectory) {
                if (!OnDescentPath(search.Identity))
                    Enter(IncludeTrailingPathDelimiter(pPath + search.Name), search.Identity);
            } else if ((search.Attr & faArchive) == faArchive) {
                const QString pfile = pPath + search.Name;
                if (LowerCase(ExtractFileExt(pfile)) == u".jpg") {
                    pfilelist_.append(pfile);
                    ++FCnt_;
                    env_.setStatus(QStringLiteral("Faile analüüsimiseks: ") + QString::number(FCnt_));
                }
            }
            env_.processMessages();
            env_.sleep(10);
            if (env_.stopRequested()) return;
        } while (FindNext(search) == 0);
    }

private:
    bool OnDescentPath(const FileIdentity& folder) const {
        return std::find(descent_.begin(), descent_.end(), folder) != descent_.end();
    }

    void Enter(const QString& pPath, const FileIdentity& folder) {
        TSearchRec search;
        if (FindFirst(pPath, search) != 0) return;
        descent_.push_back(folder);
        List(pPath, search);
        descent_.pop_back();
    }

    QStringList& pfilelist_;
    std::int32_t& FCnt_;
    const SearchEnvironment& env_;
    std::vector<FileIdentity> descent_;
};

}  // namespace

void reqSearch(const QString& pPath, QStringList& pfilelist, std::int32_t& FCnt, const SearchEnvironment& env) {
    TSearchRec search;
    if (FindFirst(IncludeTrailingPathDelimiter(pPath), search) != 0) return;
    FolderSearch(pfilelist, FCnt, env, OpenFolderAndAncestors(search)).List(pPath, search);
}

}  // namespace zolvu
