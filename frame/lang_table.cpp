#include "frame/lang_table.h"

#include <windows.h>

#include "frame/plugin_state.h"

namespace {
const int kEnglish = 1033;
const int kDefaultLanguageResource = 101;

int g_languageNumber = 0;
std::wstring g_languageFile;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The embedded default, written over the file from its start. A new empty
// file gets a UTF-16 byte-order mark first, which the default then overwrites.
void WriteEnglishDefault(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (GetFileSize(f, nullptr) == 0) {
        const BYTE bom[2] = {0xFF, 0xFE};
        WriteFile(f, bom, 2, &written, nullptr);
    }
    HRSRC res = FindResourceW(Plugin().module, MAKEINTRESOURCEW(kDefaultLanguageResource), L"OWNER_DATA");
    HGLOBAL mem = res ? LoadResource(Plugin().module, res) : nullptr;
    const void* data = mem ? LockResource(mem) : nullptr;
    if (data) {
        SetFilePointer(f, 0, nullptr, FILE_BEGIN);
        WriteFile(f, data, SizeofResource(Plugin().module, res), &written, nullptr);
    }
    CloseHandle(f);
}
}  // namespace

std::wstring SelectLanguageFile(const std::wstring& pluginFolder, int languageNumber) {
    g_languageNumber = languageNumber;
    if (pluginFolder.empty()) {  // no folder of our own: the markup's English texts
        g_languageFile.clear();
        g_languageNumber = kEnglish;
        return g_languageFile;
    }
    std::wstring folder = pluginFolder + L"Language\\";
    if (!Exists(folder)) CreateDirectoryW(folder.c_str(), nullptr);

    std::wstring chosen;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"*.*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::wstring path = folder + fd.cFileName;
            if (static_cast<int>(GetPrivateProfileIntW(L"General Settings", L"ID", -1, path.c_str())) ==
                languageNumber) {
                chosen = path;
                break;
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }

    if (!chosen.empty() && Exists(chosen)) {
        g_languageFile = chosen;
        return g_languageFile;
    }
    g_languageFile = folder + L"English.ini";
    if (!Exists(g_languageFile)) WriteEnglishDefault(g_languageFile);
    g_languageNumber = kEnglish;
    return g_languageFile;
}

std::wstring GetLangText(const wchar_t* id) {
    if (g_languageFile.empty() || !id) return std::wstring();
    wchar_t buffer[1024] = {};
    DWORD n = GetPrivateProfileStringW(L"String", id, L"", buffer, 1024, g_languageFile.c_str());
    std::wstring raw(buffer, n);
    std::wstring text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'\\' && i + 1 < raw.size() && raw[i + 1] == L'n') {
            text += L'\n';
            ++i;
        } else {
            text += raw[i];
        }
    }
    return text;
}

int CurrentLanguageNumber() { return g_languageNumber; }
std::wstring CurrentLanguageFile() { return g_languageFile; }
