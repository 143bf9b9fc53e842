#include "library/settings_file.h"

#include <windows.h>

#include "frame/path_name.h"
#include "library/library_paths.h"

namespace {
const wchar_t kSection[] = L"General Settings";
const wchar_t kScoreDir[] = L"ScoreDir";
const wchar_t kScoreName[] = L"ScoreName";

std::wstring ReadKey(const std::wstring& file, const wchar_t* key) {
    wchar_t buffer[1024] = {};
    DWORD n = GetPrivateProfileStringW(kSection, key, L"", buffer, 1024, file.c_str());
    return std::wstring(buffer, n);
}

// The profile functions write UTF-16 only into a file that already starts
// with its byte-order mark, so an empty or new file gets one first.
bool EnsureUnicodeFile(const std::wstring& path) {
    // A read-only settings file is the user's choice to keep it as it is,
    // whether or not the file system would refuse the write by itself.
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    if (GetFileSize(f, nullptr) == 0) {
        const BYTE bom[2] = {0xFF, 0xFE};
        DWORD written = 0;
        ok = WriteFile(f, bom, 2, &written, nullptr) && written == 2;
    }
    CloseHandle(f);
    return ok;
}

// A settings file written by hand or by an older tool may be 8-bit text; the
// profile functions keep such a file 8-bit, so a name outside the code page
// (a Chinese folder, "Für Elise" under another code page) would come back as
// question marks. Before the names are written, such a file is rewritten as
// UTF-16 with its mark, its old lines kept. UTF-8 with its own mark is read as
// UTF-8; anything else in the system code page.
bool ConvertToUnicodeFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    // A file this large is not a settings file we wrote; it is left as it is.
    const DWORD kMaxBytes = 1 << 20;
    DWORD size = GetFileSize(f, nullptr);
    if (size > kMaxBytes) {
        CloseHandle(f);
        return true;
    }
    std::string bytes(size, '\0');
    DWORD read = 0;
    bool ok = bytes.empty() || (ReadFile(f, &bytes[0], size, &read, nullptr) && read == size);
    CloseHandle(f);
    if (!ok) return false;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return true;  // UTF-16 already
    UINT codePage = CP_ACP;
    size_t skip = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        codePage = CP_UTF8;
        skip = 3;
    }
    const char* from = bytes.data() + skip;
    const int fromSize = static_cast<int>(bytes.size() - skip);
    std::wstring text(fromSize > 0 ? MultiByteToWideChar(codePage, 0, from, fromSize, nullptr, 0) : 0, L'\0');
    if (!text.empty()) MultiByteToWideChar(codePage, 0, from, fromSize, &text[0], static_cast<int>(text.size()));
    // The new content goes to a side file first, so that a failed write never
    // leaves the settings half converted.
    const std::wstring temp = path + L".new";
    HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    const BYTE bom[2] = {0xFF, 0xFE};
    DWORD written = 0, textWritten = 0;
    const DWORD textBytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    ok = WriteFile(out, bom, 2, &written, nullptr) && written == 2;
    if (ok && textBytes > 0)
        ok = WriteFile(out, text.data(), textBytes, &textWritten, nullptr) && textWritten == textBytes;
    CloseHandle(out);
    if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}
}  // namespace

std::wstring SettingsFileOf(const std::wstring& pluginFolder) { return pluginFolder + L"Settings.ini"; }

std::wstring ReadRememberedScore(const std::wstring& pluginFolder) {
    if (pluginFolder.empty()) return std::wstring();
    const std::wstring file = SettingsFileOf(pluginFolder);
    const std::wstring dir = ReadKey(file, kScoreDir);
    const std::wstring name = ReadKey(file, kScoreName);
    if (dir.empty() || name.empty()) return std::wstring();
    // Hand-edited values such as "..\.." must not open a file outside the
    // library as if it were one of its scores.
    if (!IsPlainEntryName(dir) || !IsScoreFolderName(dir) || !IsPlainEntryName(name)) return std::wstring();
    const std::wstring path = LibraryRootOf(pluginFolder) + dir + L'\\' + ScoreFileNameOf(name);
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return std::wstring();
    return path;
}

bool WriteRememberedScore(const std::wstring& pluginFolder, const std::wstring& currentScorePath) {
    const std::wstring file = SettingsFileOf(pluginFolder);
    if (pluginFolder.empty() || !EnsureUnicodeFile(file)) return false;

    DWORD attrs = GetFileAttributesW(currentScorePath.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (currentScorePath.find(pluginFolder) == std::wstring::npos) return false;

    const std::wstring name = GetNameFromPath(currentScorePath, false);
    const size_t last = currentScorePath.find_last_of(L'\\');
    if (last == std::wstring::npos || last == 0) return false;
    const size_t before = currentScorePath.find_last_of(L'\\', last - 1);
    if (before == std::wstring::npos) return false;
    const std::wstring dir = currentScorePath.substr(before + 1, last - before - 1);
    if (dir.empty() || name.empty()) return false;
    // Only values that lead back to this very file are worth keeping: a score
    // elsewhere under the plug-in folder (deeper, or not named *.zyqn) would
    // reopen another file or nothing, and the previous values would be lost.
    if (!SameFileName(LibraryRootOf(pluginFolder) + dir + L'\\' + ScoreFileNameOf(name), currentScorePath))
        return false;

    if (!ConvertToUnicodeFile(file)) return false;
    const std::wstring oldDir = ReadKey(file, kScoreDir);
    if (!WritePrivateProfileStringW(kSection, kScoreDir, dir.c_str(), file.c_str())) return false;
    if (!WritePrivateProfileStringW(kSection, kScoreName, name.c_str(), file.c_str())) {
        // Keep the pair consistent: a folder without its score name would
        // point at the wrong score.
        WritePrivateProfileStringW(kSection, kScoreDir, oldDir.empty() ? nullptr : oldDir.c_str(), file.c_str());
        return false;
    }
    return true;
}
