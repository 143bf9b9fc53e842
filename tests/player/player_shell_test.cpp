// The player window as a host sees it: the real DLL with its skin, driven
// with real mouse and system messages.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "abi/host_messages.h"
#include "frame/wnd_impl_base.h"
#include "tests/player/player_driver.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// Caption buttons of the 879-pixel title bar: 19x19, 4 pixels apart, the
// close button 6 pixels from the right inset.
const POINT kClosePt = {861, 16};
const POINT kMaxPt = {838, 16};

void Click(HWND wnd, POINT pt) { player_test::ClickAt(wnd, pt); }

bool Closed(PluginSandbox& box) { return !box.Host().Of(WM_PLUGIN_CLOSED).empty(); }

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
    SaveWindowShot(wnd, L"player-window.png");
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
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(wnd); }, 2000));
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCLIENT, 0);
    EXPECT_FALSE(IsZoomed(wnd));
}

TEST(PlayerWindow, SystemCloseGoesThroughTheHostCloseAndAltF4ByTheSameRoute) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(PumpUntil([&] { return Closed(box); }));
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
    EXPECT_TRUE(FileExists(skin + L"PNG_DLG_POP_BK.png"));
    box.Client().Skin(skin);
    PumpFor(300);
    EXPECT_TRUE(ColourNear(ScreenPixel(wnd, x, y), RGB(220, 30, 30), 12)) << std::hex << ScreenPixel(wnd, x, y);

    box.Client().Skin(L"");
    PumpFor(300);
    EXPECT_TRUE(ColourNear(ScreenPixel(wnd, x, y), packaged, 6)) << std::hex << ScreenPixel(wnd, x, y);
}

namespace {
struct OwnedBox {
    HWND owner;
    volatile LONG result;
};

DWORD WINAPI ShowOwnedBox(LPVOID arg) {
    auto* box = static_cast<OwnedBox*>(arg);
    InterlockedExchange(&box->result, MessageBoxW(box->owner, L"A question", L"Melvane", MB_OKCANCEL));
    return 0;
}

HWND FindOwnedBox(HWND owner) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, nullptr, L"Melvane")) != nullptr)
        if (found != owner && GetParent(found) == owner) return found;
    return nullptr;
}
}  // namespace

TEST(PlayerWindow, HostExitClosesAnOpenMessageBoxFirst) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    OwnedBox owned = {wnd, -1};
    HANDLE thread = CreateThread(nullptr, 0, ShowOwnedBox, &owned, 0, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return FindOwnedBox(wnd) != nullptr; }));
    box.Stop();  // must not hang on the box
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_NE(owned.result, -1);
    CloseHandle(thread);
}

TEST(PlayerWindow, StatusLineShowsTheVersionAndMaximiseSwapsTheButtons) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(200);
    EXPECT_EQ(player_test::TextOf(wnd, L"ID_LABEL_VERSION"), L"Version 1.0.0.0");
    EXPECT_TRUE(player_test::Probe(wnd, L"ID_BTN_MELVANE_MAX").visible);
    EXPECT_FALSE(player_test::Probe(wnd, L"ID_BTN_MELVANE_RESTORE").visible);
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(player_test::Probe(wnd, L"ID_BTN_MELVANE_MAX").visible);
    EXPECT_TRUE(player_test::Probe(wnd, L"ID_BTN_MELVANE_RESTORE").visible);
    SendMessageW(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(player_test::Probe(wnd, L"ID_BTN_MELVANE_MAX").visible);
    EXPECT_FALSE(player_test::Probe(wnd, L"ID_BTN_MELVANE_RESTORE").visible);
}

TEST(PlayerWindow, PanelButtonsHideAndShowTheLibraryAndThePlayDisplay) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND wnd = box.PlayerWindow();
    PumpFor(300);
    EXPECT_TRUE(player_test::Probe(wnd, L"ID_SCORE_PANEL").visible);
    player_test::ClickControl(wnd, L"ID_BTN_HIDE_SCORE_PANEL");
    EXPECT_TRUE(PumpUntil([&] { return !player_test::Probe(wnd, L"ID_SCORE_PANEL").visible; }));
    PumpFor(200);
    SaveWindowShot(wnd, L"player-library-hidden.png");
    player_test::ClickControl(wnd, L"ID_BTN_HIDE_OPERATION_PANEL");
    EXPECT_TRUE(PumpUntil([&] { return !player_test::Probe(wnd, L"ID_PANEL_PLAY_DIS").visible; }));
    PumpFor(200);
    SaveWindowShot(wnd, L"player-both-hidden.png");
    player_test::ClickControl(wnd, L"ID_BTN_SHOW_SCORE_PANEL");
    EXPECT_TRUE(PumpUntil([&] { return player_test::Probe(wnd, L"ID_SCORE_PANEL").visible; }));
    PumpFor(200);
    SaveWindowShot(wnd, L"player-display-hidden.png");
    player_test::ClickControl(wnd, L"ID_BTN_SHOW_OPERATION_PANEL");
    EXPECT_TRUE(PumpUntil([&] { return player_test::Probe(wnd, L"ID_PANEL_PLAY_DIS").visible; }));
}
