#include "platform/file_search.h"

#include "platform/path_text.h"

#include <cerrno>
#include <fcntl.h>

namespace zolvu {

namespace {

int ReadEntry(TSearchRec& search) {
    errno = 0;
    const dirent* entry = readdir(search.Handle);
    if (!entry) return errno ? errno : ENOENT;
    search.Name = TextFromSystem(entry->d_name);
    search.Attr = 0;
    search.Device = 0;
    search.Inode = 0;
    struct stat st {};
    if (fstatat(dirfd(search.Handle), entry->d_name, &st, 0) == 0) {
        if (S_ISDIR(st.st_mode)) search.Attr = faDirectory;
        else if (S_ISREG(st.st_mode)) search.Attr = faArchive;
        search.Device = st.st_dev;
        search.Inode = st.st_ino;
    }
    return 0;
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

}  // namespace zolvu
