// The practice host's demo, as tools/run.sh starts it without a display: the
// real melvane-host.exe in a folder of its own plays the score the plug-in
// opens at start, and its screenshot shows keys lit by the playing notes.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// Runs the host with args in folder and waits for it to quit by itself.
bool RunHost(const std::wstring& folder, const std::wstring& args) {
    std::wstring line = L"\"" + folder + L"melvane-host.exe\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return false;
    bool ended = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
}

// Pixels of the picture in the colour the host lights a key with, by hand.
int PixelsOf(const std::wstring& png, COLORREF colour) {
    Gdiplus::GdiplusStartupInput in;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
    int count = 0;
    {
        Gdiplus::Bitmap picture(png.c_str());
        HBITMAP bitmap = nullptr;
        if (picture.GetHBITMAP(Gdiplus::Color(0, 0, 0), &bitmap) == Gdiplus::Ok) {
            int w = 0, h = 0;
            const DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
            for (DWORD p : BitmapPixels(bitmap, &w, &h)) count += (p & 0xFFFFFF) == want;
            DeleteObject(bitmap);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return count;
}

}  // namespace

TEST(PracticeHostDemo, PlaysTheOpenedScoreAndItsScreenshotShowsKeysLit) {
    TempDir dir;
    for (const wchar_t* file : {L"melvane-host.exe", L"ZYQMelvane.dll", L"ScoreDll.dll"}) CopyFromBin(file, dir.Path());
    CreateDirectoryW((dir / L"music").c_str(), nullptr);
    CreateDirectoryW((dir / L"music\\Demo").c_str(), nullptr);
    EXPECT_TRUE(CopyFileW((BinFolder() + L"music\\Beginner\\Ode to Joy.zyqn").c_str(),
                          (dir / L"music\\Demo\\Ode to Joy.zyqn").c_str(), FALSE));
    const std::wstring shot = dir / L"demo.png";
    EXPECT_TRUE(RunHost(dir.Path(), L"--demo 1 --screenshot \"" + shot + L"\" --quit-after 6000"));
    ASSERT_TRUE(FileExists(shot));
    // Ode to Joy opens with both hands; a picture of a keyboard lit by a
    // playing score shows at least one whole key in a hand's colour.
    const int kKeyPixels = 150;
    EXPECT_GT(PixelsOf(shot, RGB(64, 140, 220)) + PixelsOf(shot, RGB(80, 180, 110)), kKeyPixels);
}
