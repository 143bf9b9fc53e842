// Helpers shared by the tests: temporary folders, a plug-in folder with the
// real DLL in it, a recording host window; with them the message pump.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "host/plugin_client.h"
#include "tests/support/host_window.h"
#include "tests/support/message_pump.h"

namespace testing_support {

// The folder of the running test executable, with a trailing backslash: the
// build's bin folder, where the plug-in, the engine and the samples are.
std::wstring BinFolder();

// The translations the build ships in bin\Language, by language number.
struct ShippedLanguage {
    int number;
    const wchar_t* file;
};
extern const ShippedLanguage kShippedLanguages[3];

// A fresh folder under %TEMP%, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::wstring& Path() const { return path_; }  // ends in a backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
void CopyFromBin(const std::wstring& name, const std::wstring& folder, const std::wstring& as = L"");

// The top-level windows of this class this process has, shown or not, in
// the system's order (topmost first), and how many there are.
std::vector<HWND> OwnWindows(const wchar_t* className);
int CountOwnWindows(const wchar_t* className);

// Saves what a window shows on the screen as build/screenshots/<name>.
void SaveWindowShot(HWND window, const std::wstring& name);

// The test window standing in for the host application; it keeps every
// plug-in message it receives.
class RecordingHost : public HostWindow {
public:
    RecordingHost() : HostWindow(Options().Keep(WM_USER + 100, WM_USER + 120)) {}
};

// A plug-in folder in TEMP with the test build of the plug-in copied into it
// as ZYQMelvane.dll (and, on request, an engine as ScoreDll.dll), loaded
// through CPluginClient.
class PluginSandbox {
public:
    explicit PluginSandbox(const std::wstring& engineDll = L"");
    ~PluginSandbox();
    CPluginClient& Client() { return client_; }
    const std::wstring& Folder() const { return dir_.Path(); }
    RecordingHost& Host() { return host_; }
    // Init with the recording host; waits until the player window shows.
    bool Start(int language = 1033, const std::wstring& skin = L"");
    void Stop();
    // The plug-in's visible top-level window on its UI thread.
    HWND PlayerWindow() const;

private:
    TempDir dir_;
    RecordingHost host_;
    CPluginClient client_;
    bool started_ = false;
};

}  // namespace testing_support
