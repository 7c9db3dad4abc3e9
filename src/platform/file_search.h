#pragma once
// Enumeration of a folder's entries with the attribute word of a Windows-style
// file search, on opendir/readdir and stat:
// - faDirectory for a folder or a link to one (links are listed as what
//   they lead to);
// - faArchive for a regular file or a link to one (every regular file
//   counts as archived);
// - neither for FIFOs, sockets, devices and dangling links, which are
//   therefore never collected nor opened.
// Entries come in the order the system returns them, "." and ".." included.
// Names and paths are carried with path_text's reversible byte escape.
// TSearchRec closes its enumeration exactly once, when it goes out of scope
// at the latest.

#include <QString>
#include <dirent.h>
#include <sys/types.h>
#include <vector>

namespace zolvu {

inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x1FF;

// What a name leads to: two names of one folder (a link and its target
// among them) have the same identity.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct TSearchRec {
    QString Name;
    int Attr = 0;
    FileIdentity Identity;  // of what the entry leads to, when Attr is set

    TSearchRec() = default;
    TSearchRec(const TSearchRec&) = delete;
    TSearchRec& operator=(const TSearchRec&) = delete;
    ~TSearchRec();

    DIR* Handle = nullptr;
};

// Opens the folder and reads its first entry: 0 with the entry in search,
// else the system's error code (never 0) and no enumeration left open.
int FindFirst(const QString& folder, TSearchRec& search);
// The next entry: 0 with the entry in search, non-zero at the end or on error.
int FindNext(TSearchRec& search);
// Closes the enumeration when one is open; a second call does nothing.
void FindClose(TSearchRec& search);

// The folder that search has open, then each folder above it up to "/", as
// the system links them through "..". Empty when nothing is open; shorter
// when a folder above cannot be reached.
std::vector<FileIdentity> OpenFolderAndAncestors(const TSearchRec& search);

}  // namespace zolvu
