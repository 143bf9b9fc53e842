// The loading splash on its own thread: placement over a rectangle, the whole
// owner or the cursor's monitor; Show twice; Hide without Show; the image
// resource; and what the window shows, read back from the screen.
#include <windows.h>
// windows.h first: gdiplus.h needs its declarations.
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>

#include "frame/lang_table.h"
#include "frame/loading_splash.h"
#include "tests/support/test_support.h"

using testing_support::BinFolder;

namespace {
const COLORREF kBand = RGB(0x30, 0x80, 0xC0);   // left 10 columns of the test image
const COLORREF kField = RGB(0xE0, 0xF0, 0xFF);  // the rest

RECT WindowRect(HWND wnd) {
    RECT rc = {};
    GetWindowRect(wnd, &rc);
    return rc;
}

int SplashWindowCount() { return testing_support::CountOwnWindows(L"CMelvaneSplashWnd"); }

// What the screen shows at (x, y) of a window.
COLORREF ScreenPixel(HWND wnd, int x, int y) {
    RECT rc = WindowRect(wnd);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, rc.left + x, rc.top + y);
    ReleaseDC(nullptr, screen);
    return c;
}

bool Near(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) < 12 && abs(GetGValue(a) - GetGValue(b)) < 12 &&
           abs(GetBValue(a) - GetBValue(b)) < 12;
}

bool Dark(COLORREF c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; }

class LoadingSplashTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
        images_ = LoadLibraryExW((BinFolder() + L"frame_extra_versioned.dll").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (images_) FreeLibrary(images_);
        Gdiplus::GdiplusShutdown(gdiplus_);
    }

    void SetUp() override {
        ASSERT_NE(images_, nullptr);
        image_.reset(CLoadingSplash::LoadImageResource(images_, 110));
        ASSERT_NE(image_, nullptr);
        window_ = std::make_unique<testing_support::HostWindow>(
            testing_support::HostWindow::Options()
                .At(100, 100, 600, 400)
                .Style(WS_POPUP | WS_VISIBLE)
                .Title(L"owner")
                .Background(static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))));
        owner_ = window_->Hwnd();
        ASSERT_NE(owner_, nullptr);
        testing_support::PumpFor(30);
    }
    void TearDown() override { window_.reset(); }

    // Top-left corner of a 174 x 39 splash centred over a screen rectangle.
    static POINT Centred(LONG l, LONG t, LONG r, LONG b) { return POINT{(l + r) / 2 - 87, (t + b) / 2 - 19}; }

    static ULONG_PTR gdiplus_;
    static HMODULE images_;
    std::unique_ptr<Gdiplus::Image> image_;
    std::unique_ptr<testing_support::HostWindow> window_;
    HWND owner_ = nullptr;
};
ULONG_PTR LoadingSplashTest::gdiplus_ = 0;
HMODULE LoadingSplashTest::images_ = nullptr;
}  // namespace

TEST_F(LoadingSplashTest, ShownOverTheTargetRectangleOnItsOwnThread) {
    CLoadingSplash splash(owner_);
    splash.SetTargetRect(RECT{100, 50, 500, 350});
    splash.SetImageAndText(image_.get(), L"Loading score, please wait");
    image_.reset();  // the splash keeps its own copy
    splash.Show();

    HWND wnd = splash.Window();
    ASSERT_TRUE(IsWindow(wnd));
    EXPECT_TRUE(IsWindowVisible(wnd));
    RECT rc = WindowRect(wnd);
    POINT at = Centred(200, 150, 600, 450);
    EXPECT_EQ(rc.left, at.x);
    EXPECT_EQ(rc.top, at.y);
    EXPECT_EQ(rc.right - rc.left, 174);
    EXPECT_EQ(rc.bottom - rc.top, 39);

    // A borderless tool window of its own thread, owned by nobody, not activated.
    DWORD thread = GetWindowThreadProcessId(wnd, nullptr);
    EXPECT_NE(thread, GetCurrentThreadId());
    EXPECT_EQ(thread, splash.ThreadId());
    EXPECT_EQ(GetWindow(wnd, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
    EXPECT_NE(GetForegroundWindow(), wnd);

    // It answers while this thread pumps nothing.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &answer), 0);

    HANDLE handle = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, thread);
    splash.Hide();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(splash.HasImage());
    EXPECT_EQ(splash.Window(), nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(handle, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(handle);
}

TEST_F(LoadingSplashTest, EmptyTargetCentresOverTheWholeOwner) {
    CLoadingSplash splash(owner_);
    splash.SetTargetRect(RECT{50, 50, 50, 50});
    splash.SetImageAndText(image_.get(), L"");
    splash.Show();
    RECT rc = WindowRect(splash.Window());
    POINT at = Centred(100, 100, 700, 500);
    EXPECT_EQ(rc.left, at.x);
    EXPECT_EQ(rc.top, at.y);
}

TEST_F(LoadingSplashTest, WithoutOwnerCentresOnTheCursorsMonitor) {
    SetCursorPos(20, 20);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{20, 20}, MONITOR_DEFAULTTONEAREST), &info));
    CLoadingSplash splash(nullptr);
    splash.SetImageAndText(image_.get(), L"");
    splash.Show();
    RECT rc = WindowRect(splash.Window());
    const RECT& m = info.rcMonitor;
    POINT at = Centred(m.left, m.top, m.right, m.bottom);
    EXPECT_EQ(rc.left, at.x);
    EXPECT_EQ(rc.top, at.y);
    splash.Hide();
}

TEST_F(LoadingSplashTest, ShowTwiceKeepsOneWindowAndHideWithoutShowOnlyDropsTheImage) {
    CLoadingSplash splash(owner_);
    splash.SetImageAndText(image_.get(), L"");
    splash.Show();
    HWND first = splash.Window();
    DWORD thread = splash.ThreadId();
    splash.Show();
    EXPECT_EQ(splash.Window(), first);
    EXPECT_EQ(splash.ThreadId(), thread);
    testing_support::PumpFor(50);
    EXPECT_EQ(SplashWindowCount(), 1);
    EXPECT_TRUE(IsWindow(first));
    splash.Hide();
    EXPECT_EQ(SplashWindowCount(), 0);

    CLoadingSplash idle(owner_);
    idle.SetImageAndText(image_.get(), L"");
    EXPECT_TRUE(idle.HasImage());
    idle.Hide();
    EXPECT_FALSE(idle.HasImage());
    EXPECT_EQ(idle.Window(), nullptr);
    idle.Hide();
    EXPECT_EQ(SplashWindowCount(), 0);

    // The first image is kept: a second one given later is ignored.
    CLoadingSplash again(owner_);
    again.SetImageAndText(image_.get(), L"");
    Gdiplus::Bitmap big(300, 80);
    again.SetImageAndText(&big, L"");
    again.Show();
    EXPECT_EQ(WindowRect(again.Window()).right - WindowRect(again.Window()).left, 174);
}

TEST_F(LoadingSplashTest, WithoutImageShowGivesUpAndNoWindowAppears) {
    CLoadingSplash splash(owner_);
    DWORD start = GetTickCount();
    splash.Show();
    // The thread ends at once without signalling; Show waited out its limit.
    EXPECT_GE(GetTickCount() - start, 4500u);
    EXPECT_EQ(splash.Window(), nullptr);
    EXPECT_EQ(SplashWindowCount(), 0);
    splash.Hide();
}

TEST_F(LoadingSplashTest, DrawsTheImageAndTheWaitingText) {
    CLoadingSplash splash(owner_);
    splash.SetImageAndText(image_.get(), L"Loading.....");
    splash.Show();
    HWND wnd = splash.Window();
    ASSERT_TRUE(IsWindow(wnd));
    EXPECT_TRUE(testing_support::PumpUntil(
        [&] { return Near(ScreenPixel(wnd, 3, 20), kBand) && Near(ScreenPixel(wnd, 170, 2), kField); }, 3000));

    // Black text from x = 50 with its top edge 5 pixels down; nothing dark elsewhere.
    int textDark = 0, otherDark = 0, firstRow = 99, firstCol = 999;
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 174; ++x) {
            if (!Dark(ScreenPixel(wnd, x, y))) continue;
            if (x < 50 || y < 5) {
                ++otherDark;
                continue;
            }
            ++textDark;
            firstRow = std::min(firstRow, y);
            firstCol = std::min(firstCol, x);
        }
    EXPECT_GT(textDark, 40);
    EXPECT_EQ(otherDark, 0);
    EXPECT_LE(firstRow, 12);
    EXPECT_LE(firstCol, 56);
}

TEST_F(LoadingSplashTest, EachShippedWaitingTextEndsInsideTheImage) {
    // Drawn from x = 50 on the 174-pixel image without wrapping: a longer
    // text would run off the window's right edge.
    for (const testing_support::ShippedLanguage& lang : testing_support::kShippedLanguages) {
        wchar_t text[256] = {};
        GetPrivateProfileStringW(L"String", L"ID_WND_WAITING_TIP", L"", text, 256,
                                 (BinFolder() + L"Language\\" + lang.file).c_str());
        EXPECT_NE(text[0], L'\0') << lang.number;
        CLoadingSplash splash(owner_);
        splash.SetImageAndText(image_.get(), text);
        splash.Show();
        HWND wnd = splash.Window();
        ASSERT_TRUE(IsWindow(wnd));
        EXPECT_TRUE(testing_support::PumpUntil([&] { return Near(ScreenPixel(wnd, 170, 2), kField); }, 3000));
        testing_support::PumpFor(100);
        int textDark = 0, lastDarkColumn = 0;
        for (int y = 5; y < 39; ++y)
            for (int x = 50; x < 174; ++x)
                if (Dark(ScreenPixel(wnd, x, y))) {
                    ++textDark;
                    lastDarkColumn = std::max(lastDarkColumn, x);
                }
        EXPECT_GT(textDark, 40) << lang.number;
        EXPECT_LT(lastDarkColumn, 168) << lang.number << ": the text reaches the edge";
    }
}

TEST(LoadingSplashText, WaitingTextIsProcessWideAndFallsBackToLoading) {
    testing_support::TempDir plugin;
    CreateDirectoryW((plugin / L"Language").c_str(), nullptr);
    testing_support::WriteFileBytes(plugin / L"Language\\Lang.ini",
                                    "[General Settings]\r\nID=1049\r\n[String]\r\nID_WND_MELVANE_TITLE=X\r\n");
    SelectLanguageFile(plugin.Path(), 1049);
    EXPECT_EQ(CLoadingSplash::WaitingTipText(), L"Loading.....");
    testing_support::WriteFileBytes(plugin / L"Language\\Lang.ini",
                                    "[General Settings]\r\nID=1049\r\n[String]\r\nID_WND_WAITING_TIP=Wait a bit\r\n");
    EXPECT_EQ(CLoadingSplash::WaitingTipText(), L"Wait a bit");

    CLoadingSplash one(nullptr);
    one.SetImageAndText(nullptr, L"First text");
    EXPECT_EQ(CLoadingSplash::WaitingText(), L"First text");
    // An empty text keeps the last one, for this and every later splash.
    CLoadingSplash two(nullptr);
    two.SetImageAndText(nullptr, L"");
    EXPECT_EQ(CLoadingSplash::WaitingText(), L"First text");
    EXPECT_FALSE(two.HasImage());
}

TEST(LoadingSplashImage, ResourceIsDecodedWhenPresentAndNullOtherwise) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    EXPECT_EQ(CLoadingSplash::LoadImageResource(GetModuleHandleW(nullptr), 110), nullptr);
    EXPECT_EQ(CLoadingSplash::LoadImageResource(nullptr, 110), nullptr);

    HMODULE plugin = LoadLibraryExW((BinFolder() + L"ZYQMelvane.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(plugin, nullptr);
    bool present = FindResourceW(plugin, MAKEINTRESOURCEW(110), L"PNG") != nullptr;
    std::unique_ptr<Gdiplus::Image> image(CLoadingSplash::LoadImageResource(plugin, 110));
    FreeLibrary(plugin);
    Gdiplus::GdiplusShutdown(token);
    if (!present) GTEST_SKIP() << "the plug-in carries no loading image yet";
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 174u);
    EXPECT_EQ(image->GetHeight(), 39u);
}
