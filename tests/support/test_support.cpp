#include "tests/support/test_support.h"

#include "host/screen_capture.h"

#include <gdiplus.h>

#include <atomic>

namespace testing_support {

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// Removes a folder with everything in it by walking it: links are removed,
// never followed. The shell's delete is not used: given paths longer than it
// can handle, it went on deleting in the working folder (the build's bin).
static void RemoveTree(const std::wstring& folder) {
    if (folder.size() < 4 || folder.back() != L'\\') return;  // never a drive root, never relative
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool folderEntry = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool link = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (folderEntry && !link) RemoveTree(path + L"\\");
            else if (folderEntry) RemoveDirectoryW(path.c_str());
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.substr(0, folder.size() - 1).c_str());
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    wchar_t name[64];
    wsprintfW(name, L"melvane-%lu-%d-%lu\\", GetCurrentProcessId(), counter++, GetTickCount());
    path_ = std::wstring(tmp) + name;
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

const ShippedLanguage kShippedLanguages[3] = {
    {2052, L"SimplifiedChinese.ini"}, {1028, L"TraditionalChinese.ini"}, {1041, L"Japanese.ini"}};

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string out(GetFileSize(f, nullptr), '\0');
    DWORD read = 0;
    if (!out.empty()) ReadFile(f, &out[0], static_cast<DWORD>(out.size()), &read, nullptr);
    CloseHandle(f);
    out.resize(read);
    return out;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void CopyFromBin(const std::wstring& name, const std::wstring& folder, const std::wstring& as) {
    CopyFileW((BinFolder() + name).c_str(), (folder + (as.empty() ? name : as)).c_str(), FALSE);
}

namespace {
struct WindowSearch {
    const wchar_t* className;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectIfOwnAndOfClass(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    wchar_t cls[256] = {};
    GetClassNameW(wnd, cls, 256);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId() && lstrcmpW(cls, search->className) == 0) search->found.push_back(wnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> OwnWindows(const wchar_t* className) {
    WindowSearch search = {className, {}};
    EnumWindows(CollectIfOwnAndOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int CountOwnWindows(const wchar_t* className) { return static_cast<int>(OwnWindows(className).size()); }

void SaveWindowShot(HWND window, const std::wstring& name) {
    Gdiplus::GdiplusStartupInput in;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
    std::wstring folder = BinFolder() + L"..\\screenshots\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    // A window of another thread that has only just appeared may not be on
    // the screen whole yet (a message box's text came out blank): its paint
    // is asked for now, and Wine puts a thread's paints on the screen once
    // that thread waits for messages again.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(50);
    SaveScreenPng(folder + name, window);
    Gdiplus::GdiplusShutdown(token);
}

PluginSandbox::PluginSandbox(const std::wstring& engineDll) {
    // The test build of the plug-in: the shipped one with the probe message.
    CopyFromBin(L"ZYQMelvaneProbe.dll", dir_.Path(), L"ZYQMelvane.dll");
    if (!engineDll.empty()) CopyFromBin(engineDll, dir_.Path(), L"ScoreDll.dll");
    client_.Load(dir_.Path() + L"ZYQMelvane.dll");
}

PluginSandbox::~PluginSandbox() {
    Stop();
    client_.Unload();
}

bool PluginSandbox::Start(int language, const std::wstring& skin) {
    if (client_.Init(host_.Hwnd(), language, skin) != 1) return false;
    started_ = true;
    return PumpUntil([this] { return PlayerWindow() != nullptr; });
}

void PluginSandbox::Stop() {
    if (!started_) return;
    client_.Exit();
    started_ = false;
}

struct FindPlayer {
    DWORD self;
    HWND found;
};

static BOOL CALLBACK FindPlayerProc(HWND wnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindPlayer*>(lp);
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId() && tid != f->self && IsWindowVisible(wnd) &&
        (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_APPWINDOW)) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND PluginSandbox::PlayerWindow() const {
    FindPlayer f = {GetCurrentThreadId(), nullptr};
    EnumWindows(FindPlayerProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

}  // namespace testing_support
