// The context menu as a user meets it: a real popup over a host window,
// driven with mouse and key messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"
#include "uikit/menu/menu_ui.h"
#include "uikit/menu/menu_wnd.h"

using namespace UiKit;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

const wchar_t kMenuMarkup[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    L"<Window>"
    L"<Default name=\"Menu\" value=\"inset=&quot;2,2,2,2&quot; itemtextpadding=&quot;15,0,15,0&quot;\" />"
    L"<Menu inset=\"2,12,2,12\" itemselectedbkcolor=\"#FFDCEDE9\">"
    L"<MenuElement name=\"ID_MENU_SCORE_ITEM_OPEN\" width=\"90\" text=\"Open\" />"
    L"<MenuElement name=\"ID_MENU_SCORE_ITEM_RENAME\" width=\"90\" text=\"Rename\" />"
    L"<MenuElement name=\"ID_MENU_SCORE_ITEM_DEL\" width=\"90\" text=\"Delete\" />"
    L"</Menu>"
    L"</Window>";

// The window that opens menus: it keeps the names it is sent.
class MenuHost {
public:
    HWND Hwnd() const { return window_.Hwnd(); }
    std::vector<std::wstring> chosen;

private:
    bool Take(UINT msg, LPARAM lp) {
        if (msg != MENU_ITEM_CHOSEN) return false;
        auto* name = reinterpret_cast<wchar_t*>(lp);
        chosen.push_back(name);
        delete[] name;
        return true;
    }
    testing_support::HostWindow window_{testing_support::HostWindow::Options()
                                            .At(10, 10, 300, 200)
                                            .Style(WS_OVERLAPPEDWINDOW | WS_VISIBLE)
                                            .Title(L"menu host")
                                            .OnMessage([this](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
                                                return Take(msg, lp);
                                            })};
};

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

BOOL CALLBACK CollectMenu(HWND hwnd, LPARAM lp) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == L"MenuWnd") reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &CollectMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND OpenMenu(HWND owner, POINT at) {
    auto* menu = new CMenuWnd(owner);
    menu->Init(nullptr, kMenuMarkup, nullptr, at);
    PumpFor(50);
    std::vector<HWND> menus = MenuWindows();
    return menus.size() == 1 ? menus[0] : nullptr;
}

// A pixel of a bitmap as 0xRRGGBB.
DWORD PixelOf(HBITMAP bitmap, int x, int y) {
    int w = 0, h = 0;
    std::vector<DWORD> pixels = testing_support::BitmapPixels(bitmap, &w, &h);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0xFFFFFFFF;
    return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
}

void Click(HWND hwnd, int x, int y) {
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class MenuTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (HWND menu : MenuWindows()) DestroyWindow(menu);
        PumpFor(20);
    }
    MenuHost host;
};

TEST_F(MenuTest, ThreeItemsMakeAMenu84PixelsHighAtThePoint) {
    RECT work = WorkArea();
    POINT at = {work.left + 100, work.top + 100};
    HWND menu = OpenMenu(host.Hwnd(), at);
    ASSERT_NE(nullptr, menu);
    RECT rc;
    GetWindowRect(menu, &rc);
    EXPECT_EQ(84, rc.bottom - rc.top);
    EXPECT_GE(rc.right - rc.left, 90);
    EXPECT_EQ(at.x, rc.left);
    EXPECT_EQ(at.y, rc.top);
    EXPECT_TRUE(IsWindowVisible(menu));
}

TEST_F(MenuTest, FiftyPixelsFromTheWorkAreaRightEdgeOpensLeftward) {
    RECT work = WorkArea();
    POINT at = {work.right - 50, work.top + 100};
    HWND menu = OpenMenu(host.Hwnd(), at);
    ASSERT_NE(nullptr, menu);
    RECT rc;
    GetWindowRect(menu, &rc);
    EXPECT_EQ(at.x, rc.right);
    EXPECT_GT(rc.right - rc.left, 50);
    EXPECT_EQ(at.y, rc.top);
}

TEST_F(MenuTest, NearTheWorkAreaBottomOpensUpward) {
    RECT work = WorkArea();
    POINT at = {work.left + 100, work.bottom - 30};
    HWND menu = OpenMenu(host.Hwnd(), at);
    ASSERT_NE(nullptr, menu);
    RECT rc;
    GetWindowRect(menu, &rc);
    EXPECT_EQ(at.y, rc.bottom);
    EXPECT_EQ(at.y - 84, rc.top);
}

TEST_F(MenuTest, ChoosingAnItemPostsExactlyItsNameAndLeavesNoMenu) {
    RECT work = WorkArea();
    HWND menu = OpenMenu(host.Hwnd(), POINT{work.left + 100, work.top + 100});
    ASSERT_NE(nullptr, menu);
    // Items start below the 12-pixel inset, 20 pixels each: the third one.
    Click(menu, 30, 12 + 40 + 10);
    EXPECT_TRUE(PumpUntil([&] { return !host.chosen.empty() && MenuWindows().empty(); }, 3000));
    PumpFor(50);
    ASSERT_EQ(1u, host.chosen.size());
    EXPECT_EQ(L"ID_MENU_SCORE_ITEM_DEL", host.chosen[0]);
    EXPECT_FALSE(IsWindow(menu));
}

TEST_F(MenuTest, HoveringSelectsTheItemUnderTheMouseWithoutChoosing) {
    RECT work = WorkArea();
    HWND menu = OpenMenu(host.Hwnd(), POINT{work.left + 100, work.top + 100});
    ASSERT_NE(nullptr, menu);
    SendMessageW(menu, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12 + 20 + 5));
    PumpFor(50);
    // The toolkit keeps the window object in the window's user data.
    auto* wnd = static_cast<CMenuWnd*>(reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(menu, GWLP_USERDATA)));
    ASSERT_NE(nullptr, wnd);
    auto* list = static_cast<CMenuUI*>(wnd->Manager().GetRoot()->FindInterface(L"Menu"));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(1, list->GetCurSel());
    EXPECT_NE(nullptr, list->FindInterface(L"List"));
    EXPECT_TRUE(host.chosen.empty());
    EXPECT_TRUE(IsWindow(menu));

    // The item under the mouse shows the menu's selected background.
    InvalidateRect(menu, nullptr, FALSE);
    UpdateWindow(menu);
    HBITMAP shot = wnd->Manager().GetOffscreenBitmap();
    ASSERT_NE(nullptr, shot);
    EXPECT_EQ(0xDCEDE9u, PixelOf(shot, 60, 12 + 20 + 3));
    EXPECT_NE(0xDCEDE9u, PixelOf(shot, 60, 12 + 3));
}

TEST_F(MenuTest, EscapeClosesWithoutAMessage) {
    RECT work = WorkArea();
    HWND menu = OpenMenu(host.Hwnd(), POINT{work.left + 100, work.top + 100});
    ASSERT_NE(nullptr, menu);
    SendMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(menu); }, 3000));
    PumpFor(100);
    EXPECT_TRUE(host.chosen.empty());
}

TEST_F(MenuTest, FocusLeavingTheMenuClosesItWithoutAMessage) {
    RECT work = WorkArea();
    HWND menu = OpenMenu(host.Hwnd(), POINT{work.left + 100, work.top + 100});
    ASSERT_NE(nullptr, menu);
    SetFocus(menu);
    PumpFor(20);
    EXPECT_TRUE(IsWindow(menu));
    SetFocus(host.Hwnd());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(menu); }, 3000));
    PumpFor(100);
    EXPECT_TRUE(host.chosen.empty());
}

TEST_F(MenuTest, RightClicksInsideTheMenuDoNothing) {
    RECT work = WorkArea();
    HWND menu = OpenMenu(host.Hwnd(), POINT{work.left + 100, work.top + 100});
    ASSERT_NE(nullptr, menu);
    SendMessageW(menu, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 22));
    SendMessageW(menu, WM_RBUTTONUP, 0, MAKELPARAM(30, 22));
    SendMessageW(menu, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(menu), MAKELPARAM(-1, -1));
    PumpFor(150);
    EXPECT_TRUE(IsWindow(menu));
    EXPECT_TRUE(host.chosen.empty());
}

TEST_F(MenuTest, MarkupThatBuildsNothingClosesTheMenuAtOnce) {
    auto* menu = new CMenuWnd(host.Hwnd());
    menu->Init(nullptr, L"<Window><Nothing/></Window>", nullptr, POINT{100, 100});
    EXPECT_TRUE(PumpUntil([] { return MenuWindows().empty(); }, 3000));
    EXPECT_TRUE(host.chosen.empty());
}

}  // namespace

#if __has_include("frame/lang_apply.h")
#include "frame/lang_table.h"
#define MENU_TEST_HAS_LANG 1
#endif

namespace {

CMenuWnd* MenuObject(HWND menu) {
    return static_cast<CMenuWnd*>(reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(menu, GWLP_USERDATA)));
}

TEST_F(MenuTest, LanguageTextsReplaceTheMarkupTextsAfterTheSizeWasTaken) {
#ifndef MENU_TEST_HAS_LANG
    GTEST_SKIP() << "language texts are not part of this build";
#else
    testing_support::TempDir plugin;
    CreateDirectoryW((plugin / L"Language").c_str(), nullptr);
    const std::wstring longText = L"Remove this score from the library for good";
    testing_support::WriteFileBytes(plugin / L"Language\\German.ini",
                                    "[General Settings]\r\nID=1031\r\n[String]\r\n");
    testing_support::WriteFileBytes(
        plugin / L"Language\\Test.ini",
        "[General Settings]\r\nID=4242\r\n[String]\r\nID_MENU_SCORE_ITEM_DEL=Remove this score from the library "
        "for good\r\n");
    RECT work = WorkArea();
    POINT at = {work.left + 100, work.top + 100};

    SelectLanguageFile(plugin.Path(), 1031);
    HWND plain = OpenMenu(host.Hwnd(), at);
    ASSERT_NE(nullptr, plain);
    RECT plainRect;
    GetWindowRect(plain, &plainRect);
    DestroyWindow(plain);
    PumpFor(20);

    SelectLanguageFile(plugin.Path(), 4242);
    HWND menu = OpenMenu(host.Hwnd(), at);
    ASSERT_NE(nullptr, menu);
    CControlUI* item = MenuObject(menu)->Manager().FindControl(L"ID_MENU_SCORE_ITEM_DEL");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(longText, item->GetText());
    EXPECT_EQ(L"Open", MenuObject(menu)->Manager().FindControl(L"ID_MENU_SCORE_ITEM_OPEN")->GetText());
    RECT rc;
    GetWindowRect(menu, &rc);
    EXPECT_EQ(plainRect.right - plainRect.left, rc.right - rc.left);
    EXPECT_EQ(84, rc.bottom - rc.top);
    SelectLanguageFile(plugin.Path(), 1031);
#endif
}

}  // namespace

namespace {

const wchar_t kNestedMarkup[] =
    L"<Window>"
    L"<Menu inset=\"2,12,2,12\" itemtextpadding=\"15,0,15,0\">"
    L"<MenuElement name=\"ID_MENU_TOP_OPEN\" width=\"90\" text=\"Open\" />"
    L"<MenuElement name=\"ID_MENU_TOP_MORE\" width=\"90\" text=\"More\">"
    L"<MenuElement name=\"ID_MENU_SUB_FIRST\" width=\"90\" text=\"First\" />"
    L"<MenuElement name=\"ID_MENU_SUB_SECOND\" width=\"90\" text=\"Second\" />"
    L"</MenuElement>"
    L"</Menu>"
    L"</Window>";

TEST_F(MenuTest, AnItemWithSubItemsOpensASubMenuWhoseChoiceReachesTheTopWindow) {
    RECT work = WorkArea();
    auto* root = new CMenuWnd(host.Hwnd());
    root->Init(nullptr, kNestedMarkup, nullptr, POINT{work.left + 100, work.top + 100});
    PumpFor(50);
    std::vector<HWND> menus = MenuWindows();
    ASSERT_EQ(1u, menus.size());
    HWND top = menus[0];
    RECT topRect;
    GetWindowRect(top, &topRect);
    // Two items: the sub-items are not part of the top menu.
    EXPECT_EQ(2 * 20 + 24, topRect.bottom - topRect.top);

    SendMessageW(top, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12 + 20 + 10));
    EXPECT_TRUE(PumpUntil([] { return MenuWindows().size() == 2; }, 3000));
    HWND sub = nullptr;
    for (HWND h : MenuWindows())
        if (h != top) sub = h;
    ASSERT_NE(nullptr, sub);
    RECT subRect;
    GetWindowRect(sub, &subRect);
    EXPECT_EQ(2 * 20, subRect.bottom - subRect.top);
    EXPECT_GE(subRect.left, topRect.right - 4);

    // Back on a plain item of the top menu: the sub-menu closes.
    SendMessageW(top, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12 + 10));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(sub); }, 3000));
    EXPECT_TRUE(IsWindow(top));

    SendMessageW(top, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12 + 20 + 10));
    EXPECT_TRUE(PumpUntil([] { return MenuWindows().size() == 2; }, 3000));
    for (HWND h : MenuWindows())
        if (h != top) sub = h;
    Click(sub, 30, 20 + 10);
    EXPECT_TRUE(PumpUntil([&] { return !host.chosen.empty() && MenuWindows().empty(); }, 3000));
    ASSERT_EQ(1u, host.chosen.size());
    EXPECT_EQ(L"ID_MENU_SUB_SECOND", host.chosen[0]);
}

}  // namespace

namespace {

std::wstring ReadUtf8(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return L"";
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.append(buffer, n);
    fclose(f);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    int count = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(count, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], count);
    return text;
}

TEST_F(MenuTest, TheShippedFolderMenuIs84PixelsHighWithItemsAtLeast90Wide) {
    // The Wine path of the source tree's skin folder.
    std::wstring markup = ReadUtf8("Z:" MELVANE_SKIN_DIR "/UIMenuScoreDir.xml");
    ASSERT_FALSE(markup.empty());
    RECT work = WorkArea();
    auto* menu = new CMenuWnd(host.Hwnd());
    menu->Init(nullptr, markup, nullptr, POINT{work.left + 100, work.top + 100});
    PumpFor(50);
    std::vector<HWND> menus = MenuWindows();
    ASSERT_EQ(1u, menus.size());
    RECT rc;
    GetWindowRect(menus[0], &rc);
    EXPECT_EQ(84, rc.bottom - rc.top);
    EXPECT_GE(rc.right - rc.left, 90);
    // Every item spans the menu, which the widest text sets: none is cut to
    // the markup's least width of 90.
    for (const wchar_t* name : {L"ID_MENU_SCORE_ADD", L"ID_MENU_SCORE_DIR_EDIT", L"ID_MENU_SCORE_DIR_DEL"}) {
        CControlUI* item = MenuObject(menus[0])->Manager().FindControl(name);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(20, item->GetHeight());
        EXPECT_EQ(item->GetWidth(), rc.right - rc.left - 4);  // the menu's inset keeps 2 pixels on each side
        EXPECT_GE(item->GetWidth(), 90);
    }
}

}  // namespace
