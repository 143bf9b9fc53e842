// The player window as a host sees it: the real DLL with its skin, driven
// with real mouse and system messages.
#include <windows.h>
// GDI+ needs the whole of windows.h, before gtest narrows it.
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>

#include "frame/host_protocol.h"
#include "frame/wnd_impl_base.h"
#include "host/screen_capture.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// Caption buttons of the 879-pixel title bar: 19x19, 4 pixels apart, the
// close button 6 pixels from the right inset.
const POINT kClosePt = {861, 16};
const POINT kMaxPt = {838, 16};

void Click(HWND wnd, POINT pt) {
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, lp);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(wnd, WM_LBUTTONUP, 0, lp);
}

bool Closed(PluginSandbox& box) { return !box.Host().Of(WM_PLUGIN_CLOSED).empty(); }

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput in;
        Gdiplus::GdiplusStartup(&token_, &in, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

void SaveShot(HWND wnd, const wchar_t* name) {
    GdiplusSession gdiplus;
    SaveScreenPng(BinFolder() + L"..\\screenshots\\" + name, wnd);
}

}  // namespace

TEST(PlayerWindow, OpensCentredFramelessWithItsTitle) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    RECT rc, work;
    GetWindowRect(wnd, &rc);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right - rc.left, 879);
    EXPECT_EQ(rc.bottom - rc.top, 600);
    EXPECT_NEAR((rc.left + rc.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((rc.top + rc.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & WS_CAPTION, 0);
    wchar_t cls[64] = {}, title[64] = {};
    GetClassNameW(wnd, cls, 64);
    GetWindowTextW(wnd, title, 64);
    EXPECT_STREQ(cls, L"CWndMelvane");
    EXPECT_STREQ(title, L"Melvane");
    PumpFor(300);
    CreateDirectoryW((BinFolder() + L"..\\screenshots").c_str(), nullptr);
    SaveShot(wnd, L"player-window.png");
}

TEST(PlayerWindow, CloseButtonClosesAndTellsTheHost) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(200);
    Click(wnd, kClosePt);
    ASSERT_TRUE(PumpUntil([&] { return Closed(box); }));
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_CLOSED)[0].wp, 0x2400u);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(wnd); }));
}

TEST(PlayerWindow, CaptionDoubleClickMaximisesAndRestores) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(200);
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(IsZoomed(wnd));
    RECT rc, work;
    GetWindowRect(wnd, &rc);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right - rc.left, work.right - work.left);
    // The maximise button gave way to the restore button at the same place:
    // clicking there now restores.
    PumpFor(100);
    RECT client;
    GetClientRect(wnd, &client);
    Click(wnd, POINT{client.right - (879 - kMaxPt.x), kMaxPt.y});
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(wnd); }, 2000));
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCLIENT, 0);
    EXPECT_FALSE(IsZoomed(wnd));
}

TEST(PlayerWindow, SystemCloseGoesThroughTheHostCloseAndAltF4ByTheSameRoute) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return Closed(box); }));
}

TEST(PlayerWindow, HitTestFollowsTheSkinsSizeBoxAndCaption) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(200);
    auto hit = [&](int x, int y) {
        POINT pt = {x, y};
        ClientToScreen(wnd, &pt);
        return SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(400, 1), HTTOP);
    EXPECT_EQ(hit(877, 1), HTTOPRIGHT);
    EXPECT_EQ(hit(1, 300), HTLEFT);
    EXPECT_EQ(hit(877, 300), HTRIGHT);
    EXPECT_EQ(hit(400, 598), HTBOTTOM);
    EXPECT_EQ(hit(870, 590), HTBOTTOMRIGHT);  // the grip zone
    EXPECT_EQ(hit(400, 16), HTCAPTION);       // title strip over a label
    EXPECT_EQ(hit(kClosePt.x, kClosePt.y), HTCLIENT);  // a button gets its click
    EXPECT_EQ(hit(400, 300), HTCLIENT);
}

TEST(WindowBaseHitTest, RulesOnPlainRectangles) {
    RECT client = {0, 0, 500, 400}, box = {4, 4, 4, 4}, caption = {0, 0, 0, 30};
    auto hit = [&](int x, int y, bool maximized = false, const wchar_t* cls = L"LabelUI") {
        return CWndImplBase::HitTest(POINT{x, y}, client, box, caption, maximized, cls);
    };
    // 5 pixels above the bottom band and 5 left of the right band: the grip.
    EXPECT_EQ(hit(500 - 4 - 5, 400 - 4 - 5), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(2, 398), HTBOTTOM);  // no bottom-left corner zone
    EXPECT_EQ(hit(100, 10, false, L"ButtonUI"), HTCLIENT);
    EXPECT_EQ(hit(100, 10, false, L"optionui"), HTCLIENT);
    EXPECT_EQ(hit(100, 10, false, L"TextUI"), HTCLIENT);
    EXPECT_EQ(hit(100, 10, false, nullptr), HTCLIENT);
    EXPECT_EQ(hit(100, 30), HTCLIENT);
    // Maximised: no resize zones at all.
    EXPECT_EQ(hit(1, 1, true), HTCAPTION);
    EXPECT_EQ(hit(499, 399, true), HTCLIENT);
}

TEST(PlayerSkinFolder, FolderBackgroundReplacesThePackageImageAtOnce) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(300);
    // A point of the title strip that only the window background paints.
    const int x = 600, y = 16;
    COLORREF packaged = ScreenPixel(wnd, x, y);

    std::wstring skin = box.Folder() + L"myskin\\";
    CreateDirectoryW(skin.c_str(), nullptr);
    CopyFromBin(L"..\\test-data\\red-64.png", skin, L"PNG_DLG_POP_BK.png");
    ASSERT_TRUE(FileExists(skin + L"PNG_DLG_POP_BK.png"));
    box.Client().Skin(skin);
    PumpFor(300);
    EXPECT_TRUE(ColourNear(ScreenPixel(wnd, x, y), RGB(220, 30, 30), 12)) << std::hex << ScreenPixel(wnd, x, y);

    box.Client().Skin(L"");
    PumpFor(300);
    EXPECT_TRUE(ColourNear(ScreenPixel(wnd, x, y), packaged, 6)) << std::hex << ScreenPixel(wnd, x, y);
}
