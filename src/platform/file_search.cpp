#include "platform/file_search.h"

#include "platform/path_text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zolvu {

namespace {

int ReadEntry(TSearchRec& search) {
    errno = 0;
    const dirent* entry = readdir(search.Handle);
    if (!entry) return errno ? errno : ENOENT;
    search.Name = TextFromSystem(entry->d_name);
    search.Attr = 0;
    search.Identity = {};
    // stat, not lstat: a link is listed as what it leads to.
    struct stat st {};
    if (fstatat(dirfd(search.Handle), entry->d_name, &st, 0) == 0) {
        if (S_ISDIR(st.st_mode))
            search.Attr = faDirectory;
        else if (S_ISREG(st.st_mode))
            search.Attr = faArchive;
        search.Identity = {st.st_dev, st.st_ino};
    }
    return 0;
}

// The folder above a given one, climbing on by Ascend: a descriptor that only
// names the folder (O_PATH: no read access needed), closed once.
class AncestorHandle {
public:
    explicit AncestorHandle(int folder) : fd_(Parent(folder)) {}
    AncestorHandle(const AncestorHandle&) = delete;
    AncestorHandle& operator=(const AncestorHandle&) = delete;
    ~AncestorHandle() { Close(); }
    int fd() const { return fd_; }
    // Moves to the folder above; ".." of "/" is "/" itself.
    void Ascend() {
        const int above = Parent(fd_);
        Close();
        fd_ = above;
    }

private:
    static int Parent(int folder) { return openat(folder, "..", O_PATH | O_DIRECTORY | O_CLOEXEC); }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    int fd_;
};

bool IdentityOf(int fd, FileIdentity& identity) {
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

}  // namespace

TSearchRec::~TSearchRec() { FindClose(*this); }

int FindFirst(const QString& folder, TSearchRec& search) {
    FindClose(search);
    search.Handle = opendir(SystemBytes(folder).c_str());
    if (!search.Handle) return errno ? errno : ENOENT;
    if (const int error = ReadEntry(search)) {
        FindClose(search);
        return error;
    }
    return 0;
}

int FindNext(TSearchRec& search) { return search.Handle ? ReadEntry(search) : EBADF; }

void FindClose(TSearchRec& search) {
    if (search.Handle) closedir(search.Handle);
    search.Handle = nullptr;
}

std::vector<FileIdentity> OpenFolderAndAncestors(const TSearchRec& search) {
    std::vector<FileIdentity> chain;
    FileIdentity identity;
    if (!search.Handle || !IdentityOf(dirfd(search.Handle), identity)) return chain;
    chain.push_back(identity);
    AncestorHandle ancestor(dirfd(search.Handle));
    while (IdentityOf(ancestor.fd(), identity) && !(identity == chain.back())) {
        chain.push_back(identity);
        ancestor.Ascend();
    }
    return chain;
}

}  // namespace zolvu
