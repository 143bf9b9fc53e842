#include "frame/lang_table.h"

#include <windows.h>

#include "frame/lang_apply.h"
#include "frame/plugin_state.h"
#include "uikit/menu/menu_wnd.h"

namespace {
const int kEnglish = 1033;
const int kDefaultLanguageResource = 101;

int g_languageNumber = 0;
std::wstring g_languageFile;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The embedded default, written over the file from its start. A new empty
// file gets a UTF-16 byte-order mark first, which the default then overwrites.
const void* EmbeddedDefault(DWORD* size) {
    HRSRC res = FindResourceW(Plugin().module, MAKEINTRESOURCEW(kDefaultLanguageResource), L"OWNER_DATA");
    HGLOBAL mem = res ? LoadResource(Plugin().module, res) : nullptr;
    const void* data = mem ? LockResource(mem) : nullptr;
    *size = data ? SizeofResource(Plugin().module, res) : 0;
    return data;
}

bool SameWord(const std::wstring& a, const wchar_t* b) { return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL; }

std::wstring Trimmed(const std::wstring& s) {
    size_t first = s.find_first_not_of(L" \t"), last = s.find_last_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : s.substr(first, last - first + 1);
}

// The value of key in [section] of an INI text, read as the profile functions
// read a file (names without regard to case, blanks around them dropped);
// found tells a missing key from an empty value.
std::wstring IniValue(const std::wstring& text, const wchar_t* section, const wchar_t* key, bool* found) {
    *found = false;
    bool inSection = false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line = Trimmed(line.substr(0, line.size() - 1));
        if (!line.empty() && line[0] == L'[') {
            size_t close = line.find(L']');
            inSection = close != std::wstring::npos && SameWord(Trimmed(line.substr(1, close - 1)), section);
            continue;
        }
        size_t eq = line.find(L'=');
        if (!inSection || eq == std::wstring::npos || !SameWord(Trimmed(line.substr(0, eq)), key)) continue;
        *found = true;
        return Trimmed(line.substr(eq + 1));
    }
    return std::wstring();
}

// An English file written by an earlier version lacks the texts added since,
// and a translation may lag behind: such a text comes from the embedded
// default rather than leaving a message box empty.
std::wstring DefaultText(const wchar_t* id) {
    DWORD size = 0;
    const char* data = static_cast<const char*>(EmbeddedDefault(&size));
    if (!data || size < 2) return std::wstring();
    std::wstring text;
    if (static_cast<unsigned char>(data[0]) == 0xFF && static_cast<unsigned char>(data[1]) == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(data + 2), (size - 2) / sizeof(wchar_t));
    } else {  // 8-bit text, read as UTF-8
        text.resize(MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), nullptr, 0));
        MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), &text[0], static_cast<int>(text.size()));
    }
    bool found = false;
    return IniValue(text, L"String", id, &found);
}

void WriteEnglishDefault(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (GetFileSize(f, nullptr) == 0) {
        const BYTE bom[2] = {0xFF, 0xFE};
        WriteFile(f, bom, 2, &written, nullptr);
    }
    DWORD size = 0;
    if (const void* data = EmbeddedDefault(&size)) {
        SetFilePointer(f, 0, nullptr, FILE_BEGIN);
        WriteFile(f, data, size, &written, nullptr);
    }
    CloseHandle(f);
}
}  // namespace

std::wstring SelectLanguageFile(const std::wstring& pluginFolder, int languageNumber) {
    // Menus are built after this, each time one opens: they take their
    // texts from the file chosen here.
    UiKit::SetMenuTextsHook(&ApplyLangTexts);
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
    // A default no file holds tells a missing id from an empty text.
    const wchar_t kMissing[] = L"\x1\x2";
    wchar_t buffer[1024] = {};
    DWORD n = GetPrivateProfileStringW(L"String", id, kMissing, buffer, 1024, g_languageFile.c_str());
    std::wstring raw(buffer, n);
    if (raw == kMissing) raw = Exists(g_languageFile) ? DefaultText(id).substr(0, 1023) : std::wstring();
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
