#include "library/library_paths.h"

#include <windows.h>

namespace {
const wchar_t kLibraryFolder[] = L"music";
const wchar_t kScoreEnding[] = L"zyqn";

bool StartsWith(const std::wstring& s, const std::wstring& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

std::wstring LibraryRootOf(const std::wstring& pluginFolder) {
    if (pluginFolder.empty()) return std::wstring();  // no library rather than one elsewhere
    std::wstring root = pluginFolder;
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    return root + kLibraryFolder + L'\\';
}

bool IsScoreFolderName(const std::wstring& name) { return !name.empty() && name[0] != L'.'; }

bool IsScoreFileName(const std::wstring& fileName) {
    const size_t n = 4;
    return fileName.size() >= n && fileName.compare(fileName.size() - n, n, kScoreEnding) == 0;
}

std::wstring ScoreFileNameOf(const std::wstring& name) { return name + L"." + kScoreEnding; }

std::wstring DisplayNameOfPath(const std::wstring& path) {
    if (path.empty()) return std::wstring();
    const bool folder = path.back() == L'\\';
    std::wstring p = folder ? path.substr(0, path.size() - 1) : path;
    size_t slash = p.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? p : p.substr(slash + 1);
    if (!folder) {
        size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
    }
    return name;
}

bool IsPlainEntryName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 0x20) return false;
        if (wcschr(L"\\/:*?\"<>|", c)) return false;
    }
    return true;
}

bool SplitFolderPath(const std::wstring& root, const std::wstring& path, std::wstring* folder) {
    if (root.empty() || !StartsWith(path, root) || path.size() < root.size() + 2 || path.back() != L'\\')
        return false;
    std::wstring name = path.substr(root.size(), path.size() - root.size() - 1);
    if (!IsPlainEntryName(name) || !IsScoreFolderName(name)) return false;
    if (folder) *folder = name;
    return true;
}

bool SplitScorePath(const std::wstring& root, const std::wstring& path, std::wstring* folder, std::wstring* file) {
    if (root.empty() || !StartsWith(path, root)) return false;
    std::wstring rest = path.substr(root.size());
    size_t slash = rest.find(L'\\');
    if (slash == std::wstring::npos) return false;
    std::wstring dir = rest.substr(0, slash), name = rest.substr(slash + 1);
    if (!IsPlainEntryName(dir) || !IsScoreFolderName(dir)) return false;
    if (!IsPlainEntryName(name) || !IsScoreFileName(name)) return false;
    if (folder) *folder = dir;
    if (file) *file = name;
    return true;
}

bool SameFileName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}
