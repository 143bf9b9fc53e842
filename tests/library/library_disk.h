// A temporary plug-in folder with a library in it, and a snapshot of every
// file and folder below it so that a test can say exactly what must be on disk.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "library/library_paths.h"
#include "library/library_storage.h"
#include "tests/support/test_support.h"

// Relative path -> content; folders end in a backslash and have no content.
using DiskSnapshot = std::map<std::wstring, std::string>;

DiskSnapshot Snapshot(const std::wstring& folder);

class LibraryDisk {
public:
    LibraryDisk();
    const std::wstring& PluginFolder() const { return dir_.Path(); }
    const std::wstring& Root() const { return root_; }
    CScoreLibrary& Library() { return lib_; }
    // Creates folder(s) and a file with content under the library root.
    std::wstring Put(const std::wstring& relative, const std::string& content = "score");
    std::wstring Folder(const std::wstring& relative);
    DiskSnapshot Disk() const { return Snapshot(dir_.Path()); }

private:
    testing_support::TempDir dir_;
    std::wstring root_;
    CScoreLibrary lib_;
};

// A handle that keeps a file in use: others may read it but not write,
// rename or delete it.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path, DWORD share = FILE_SHARE_READ);
    ~HeldOpen();
    bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

void SetReadOnly(const std::wstring& path, bool on);

// Makes link a symbolic link to target: under Wine a Unix link (what a user
// there would make), else a Windows one. False when neither can be made.
bool MakeLink(const std::wstring& link, const std::wstring& target, bool folder);
