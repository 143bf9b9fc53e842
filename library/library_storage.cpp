#include "library/library_storage.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "frame/path_name.h"
#include "library/library_paths.h"

namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }
bool IsDirectory(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsFile(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
// Checked before overwriting: the attribute is the user's "keep this file",
// and not every file system behind the calls refuses the write by itself.
bool IsReadOnly(const std::wstring& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

std::wstring WithoutTrailingSlash(std::wstring p) {
    if (!p.empty() && p.back() == L'\\') p.pop_back();
    return p;
}

// The path the file system finally opens for path, links followed; empty
// when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
    HANDLE h = CreateFileW(WithoutTrailingSlash(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::wstring();
    std::vector<wchar_t> buffer(1024);
    DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(h);
    return n > 0 && n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
}

// One silent shell rename. Both lists end in a double terminator, and the
// buffers grow with the path instead of cutting it.
bool ShellRename(const std::wstring& from, const std::wstring& to) {
    std::vector<wchar_t> fromList(std::max<size_t>(1024, from.size() + 2), L'\0');
    std::vector<wchar_t> toList(std::max<size_t>(1024, to.size() + 2), L'\0');
    std::copy(from.begin(), from.end(), fromList.begin());
    std::copy(to.begin(), to.end(), toList.begin());
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_RENAME;
    op.pFrom = fromList.data();
    op.pTo = toList.data();
    // No error UI either: a refused rename must not stop the panel with a
    // dialog of the shell's own.
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

// Whether two existing paths are one file (same volume and file index), which
// also catches other spellings of the same path.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& p, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE h = CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        BOOL ok = GetFileInformationByHandle(h, info);
        CloseHandle(h);
        return ok != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    if (!identity(a, &ia) || !identity(b, &ib)) return SameFileName(a, b);
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

// Renames from to to unless to names another existing entry. A change of
// letter case only finds the entry itself under the new name and may go ahead;
// in a case-sensitive folder the other spelling is another entry and is kept.
bool RenameEntry(const std::wstring& from, const std::wstring& to) {
    if (Exists(to) && !(SameFileName(from, to) && SameFile(from, to))) return false;
    if (!ShellRename(from, to)) return false;
    return Exists(to);
}

}  // namespace

CScoreLibrary::CScoreLibrary(std::wstring root) : root_(std::move(root)) {
    if (!root_.empty() && root_.back() != L'\\') root_ += L'\\';
}

// Deleting never goes through a link (a linked folder, a linked score): what
// it leads to lies outside the library, and some systems delete the target
// rather than the link. The entry must be found where its path says, below
// wherever the root itself really is.
bool CScoreLibrary::ReachesOnlyLibrary(const std::wstring& path) const {
    const std::wstring root = FinalPath(root_);
    const std::wstring entry = FinalPath(path);
    if (root.empty() || entry.empty()) return false;
    return SameFileName(root + L'\\' + WithoutTrailingSlash(path.substr(root_.size())), entry);
}

std::wstring CScoreLibrary::FolderPath(const std::wstring& folderName) const { return root_ + folderName + L'\\'; }

std::wstring CScoreLibrary::ScorePath(const std::wstring& folderName, const std::wstring& scoreName) const {
    return root_ + folderName + L'\\' + ScoreFileNameOf(scoreName);
}

std::vector<std::wstring> CScoreLibrary::Enumerate() const {
    std::vector<std::wstring> paths;
    if (root_.empty()) return paths;
    if (!Exists(root_)) {
        CreateDirectoryW(root_.c_str(), nullptr);
        return paths;
    }
    WIN32_FIND_DATAW folderData;
    HANDLE folders = FindFirstFileW((root_ + L"*.*").c_str(), &folderData);
    if (folders == INVALID_HANDLE_VALUE) return paths;
    do {
        if (!(folderData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!IsScoreFolderName(folderData.cFileName)) continue;
        const std::wstring folderPath = FolderPath(folderData.cFileName);
        paths.push_back(folderPath);
        WIN32_FIND_DATAW scoreData;
        HANDLE scores = FindFirstFileW((folderPath + L"*.*").c_str(), &scoreData);
        if (scores == INVALID_HANDLE_VALUE) continue;
        do {
            if (scoreData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (!IsScoreFileName(scoreData.cFileName)) continue;
            std::wstring scorePath = folderPath + scoreData.cFileName;
            if (Exists(scorePath)) paths.push_back(scorePath);
        } while (FindNextFileW(scores, &scoreData));
        FindClose(scores);
    } while (FindNextFileW(folders, &folderData));
    FindClose(folders);
    return paths;
}

bool CScoreLibrary::FolderNameExists(const std::wstring& name) const { return Exists(FolderPath(name)); }

bool CScoreLibrary::ScoreNameExists(const std::wstring& selectedScorePath, const std::wstring& name) const {
    std::wstring folder;
    if (!SplitScorePath(root_, selectedScorePath, &folder, nullptr)) return true;
    const std::wstring folderPath = FolderPath(folder);
    if (!Exists(folderPath)) return true;
    return Exists(folderPath + ScoreFileNameOf(name));
}

bool CScoreLibrary::CreateFolder(const std::wstring& name) const {
    // A dot name would be created but never listed again, hiding whatever the
    // user then puts in it.
    if (!IsPlainEntryName(name) || !IsScoreFolderName(name)) return false;
    const std::wstring path = FolderPath(name);
    if (!Exists(path)) CreateDirectoryW(path.c_str(), nullptr);
    return IsDirectory(path);
}

std::wstring CScoreLibrary::RenameFolder(const std::wstring& folderPath, const std::wstring& newName) const {
    if (!SplitFolderPath(root_, folderPath, nullptr) || !IsDirectory(folderPath)) return std::wstring();
    if (!IsPlainEntryName(newName) || !IsScoreFolderName(newName)) return std::wstring();
    if (!RenameEntry(WithoutTrailingSlash(folderPath), root_ + newName)) return std::wstring();
    return FolderPath(newName);
}

std::wstring CScoreLibrary::RenameScore(const std::wstring& scorePath, const std::wstring& newName) const {
    std::wstring folder;
    if (!SplitScorePath(root_, scorePath, &folder, nullptr) || !IsFile(scorePath)) return std::wstring();
    if (!IsPlainEntryName(newName)) return std::wstring();
    const std::wstring to = FolderPath(folder) + ScoreFileNameOf(newName);
    if (!RenameEntry(scorePath, to)) return std::wstring();
    return to;
}

bool CScoreLibrary::DeleteScore(const std::wstring& scorePath) const {
    std::wstring folder;
    if (!SplitScorePath(root_, scorePath, &folder, nullptr)) return false;
    if (!Exists(scorePath)) return true;
    if (!IsFile(scorePath) || !ReachesOnlyLibrary(scorePath)) return false;
    DeleteFileW(scorePath.c_str());
    return !Exists(scorePath);
}

bool CScoreLibrary::DeleteFolder(const std::wstring& folderPath, const std::vector<std::wstring>& scorePaths) const {
    std::wstring folder;
    if (!SplitFolderPath(root_, folderPath, &folder)) return false;
    if (!Exists(folderPath)) return true;
    if (!ReachesOnlyLibrary(folderPath)) return false;
    for (const std::wstring& score : scorePaths) {
        std::wstring owner;
        if (SplitScorePath(root_, score, &owner, nullptr) && owner == folder) DeleteScore(score);
    }
    // RemoveDirectoryW only removes an empty folder, so nothing the user did
    // not choose can go with it.
    RemoveDirectoryW(WithoutTrailingSlash(folderPath).c_str());
    return !Exists(folderPath);
}

CopyOutcome CScoreLibrary::CopyScoreIn(const std::wstring& source, const std::wstring& folderName,
                                       const OverwriteQuestion& ask) const {
    CopyOutcome out;
    if (!IsFile(source)) return out;
    const std::wstring name = GetNameFromPath(source, true);
    if (name.empty()) return out;
    out.result = CopyResult::Failed;
    if (!IsPlainEntryName(folderName) || !IsScoreFolderName(folderName) || !IsDirectory(FolderPath(folderName)))
        return out;
    out.dest = FolderPath(folderName) + name;

    const bool existed = Exists(out.dest);
    // Copying a score onto itself would at best fail and at worst empty it.
    if (existed && SameFile(source, out.dest)) {
        out.result = CopyResult::Skipped;
        return out;
    }
    if (CopyFileW(source.c_str(), out.dest.c_str(), TRUE)) {
        out.result = CopyResult::Copied;
        return out;
    }
    if (!existed) {
        // Refused for another reason than a taken name (bad name, access
        // denied): asking to replace a file that is not there would be wrong.
        // Whatever a broken copy left behind is ours to remove.
        if (IsFile(out.dest)) {
            SetFileAttributesW(out.dest.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(out.dest.c_str());
        }
        return out;
    }
    if (!ask || !ask(name)) {
        out.result = CopyResult::Skipped;
        return out;
    }
    if (IsReadOnly(out.dest)) return out;
    if (CopyFileW(source.c_str(), out.dest.c_str(), FALSE)) out.result = CopyResult::Replaced;
    return out;
}

bool CScoreLibrary::UndoCopy(const CopyOutcome& outcome) const {
    if (outcome.result != CopyResult::Copied || !IsFile(outcome.dest)) return false;
    if (outcome.dest.compare(0, root_.size(), root_) != 0) return false;
    const std::wstring rest = outcome.dest.substr(root_.size());
    if (std::count(rest.begin(), rest.end(), L'\\') != 1) return false;
    // The copy takes over the source's attributes; a read-only source must
    // not leave an undeletable copy behind.
    SetFileAttributesW(outcome.dest.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(outcome.dest.c_str());
    return !Exists(outcome.dest);
}
