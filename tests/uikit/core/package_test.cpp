// The in-memory skin package, installed once per process (hence its own
// test program), and the toolkit window wrapper.
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "tests/support/test_support.h"
#include "tests/support/png_maker.h"
#include "tests/uikit/core/ui_test_window.h"
#include "tests/support/zip_maker.h"
#include "uikit/core/window_wnd.h"
#include "uikit/markup/markup.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;

namespace {

TEST(Package, InstalledOnceFoundWithoutCaseReleasedForGood) {
    testing_support::TempDir dir;
    // The folder holds a file of the same name: with a package it is not used.
    testing_support::WriteFileBytes(dir / L"Main.xml", "<Window><Control name=\"disk\"/></Window>");
    CSkinSettings::SetResourcePath(dir.Path());

    uikit_test::ZipMaker zip;
    zip.Add("Main.xml", "<Window><Control name=\"packaged\"/></Window>");
    zip.Add("Big.xml", "<Window>" + std::string(4194305 - 17, ' ') + "</Window>");
    zip.Add("PNG_OPEN.png", uikit_test::MakePng(3, 2, std::vector<uint32_t>(6, 0x336699FF)));
    std::string first = zip.Finish();
    uikit_test::ZipMaker other;
    other.Add("Other.xml", "<Window/>");
    std::string second = other.Finish();

    CSkinSettings::SetResourceZip(first.data(), first.size());
    EXPECT_EQ(L"membuffer", CSkinSettings::GetPackageName());
    EXPECT_TRUE(CSkinSettings::IsPackageCached());
    ASSERT_NE(nullptr, CSkinSettings::GetPackageHandle());
    // A second package, in memory or by name, changes nothing.
    CSkinSettings::SetResourceZip(second.data(), second.size());
    CSkinSettings::SetResourceZip(L"file.zip");
    EXPECT_EQ(L"membuffer", CSkinSettings::GetPackageName());

    CSkinMarkup m;
    ASSERT_TRUE(m.LoadFromFile(L"main.XML"));
    EXPECT_STREQ(L"packaged", m.GetRoot().GetChild().GetAttributeValue(L"name"));
    EXPECT_FALSE(m.LoadFromFile(L"Other.xml"));
    EXPECT_EQ(L"Could not find ziped file", m.GetLastErrorMessage());
    EXPECT_FALSE(m.LoadFromFile(L"Big.xml"));
    EXPECT_EQ(L"File too large", m.GetLastErrorMessage());

    CSkinBuilder b;
    CControlUI* built = b.Build(L"Main.xml");
    ASSERT_NE(nullptr, built);
    EXPECT_EQ(L"packaged", built->GetName());
    delete built;
    CUIWindowManager manager;
    const UIImageInfo* image = manager.GetImageEx(L"png_open.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(3, image->width);

    CSkinSettings::ReleasePackage();
    EXPECT_EQ(nullptr, CSkinSettings::GetPackageHandle());
    EXPECT_EQ(L"membuffer", CSkinSettings::GetPackageName());
    EXPECT_FALSE(m.LoadFromFile(L"Main.xml"));
    EXPECT_EQ(L"Error opening zip file", m.GetLastErrorMessage());
    // Nothing re-installs it.
    CSkinSettings::SetResourceZip(first.data(), first.size());
    EXPECT_EQ(nullptr, CSkinSettings::GetPackageHandle());
    // Until it is removed, as a UI thread does when it ends: then the next
    // thread's install serves lookups again.
    CSkinSettings::RemovePackage();
    EXPECT_EQ(L"", CSkinSettings::GetPackageName());
    CSkinSettings::SetResourceZip(first.data(), first.size());
    EXPECT_NE(nullptr, CSkinSettings::GetPackageHandle());
    EXPECT_TRUE(m.LoadFromFile(L"Main.xml"));
    CSkinSettings::RemovePackage();
    CSkinSettings::SetResourcePath(L"");
}

TEST(SkinSettings, ResourcePathGetsOneSeparator) {
    CSkinSettings::SetResourcePath(L"C:\\skin");
    EXPECT_EQ(L"C:\\skin\\", CSkinSettings::GetResourcePath());
    CSkinSettings::SetResourcePath(L"C:/skin/");
    EXPECT_EQ(L"C:/skin/", CSkinSettings::GetResourcePath());
    CSkinSettings::SetResourcePath(L"");
    EXPECT_EQ(L"", CSkinSettings::GetResourcePath());
    EXPECT_NE(nullptr, CSkinSettings::GetResourceInstance());
}

// ---- CWindowWnd -------------------------------------------------------------

class PlainWnd : public CWindowWnd {
public:
    explicit PlainWnd(const wchar_t* cls, const wchar_t* super = nullptr) : cls_(cls), super_(super) {}
    HWND destroyedHandle = nullptr;
    std::vector<UINT> seen;

protected:
    const wchar_t* WindowClassName() const override { return cls_; }
    const wchar_t* SuperClassName() const override { return super_; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(msg);
        return CWindowWnd::HandleMessage(msg, wParam, lParam);
    }
    void OnNcDestroyed(HWND window) override { destroyedHandle = window; }
    const wchar_t* cls_;
    const wchar_t* super_;
};

// A visible owner for a modal window.
testing_support::HostWindow::Options OwnerOptions() {
    return testing_support::HostWindow::Options().At(0, 0, 100, 100).Style(WS_POPUP | WS_VISIBLE).Title(L"owner");
}

TEST(WindowWnd, ShowModalReturnsTheCloseCodeAndRestoresTheOwner) {
    // The owner closes the modal window with code 7 from inside its loop
    // and notes whether it was disabled meanwhile.
    PlainWnd* modalToClose = nullptr;
    bool ownerEnabledDuringModal = true;
    testing_support::HostWindow ownerWindow(OwnerOptions().OnMessage([&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_APP + 5) return false;
        ownerEnabledDuringModal = IsWindowEnabled(h) != FALSE;
        modalToClose->Close(7);
        return true;
    }));
    HWND owner = ownerWindow.Hwnd();
    PlainWnd modal(L"UiKitModalTest");
    ASSERT_TRUE(modal.Create(owner, L"modal", WS_POPUP, 0, 10, 10, 50, 50));
    modalToClose = &modal;
    PostMessageW(owner, WM_APP + 5, 0, 0);
    EXPECT_EQ(7u, modal.ShowModal());
    EXPECT_FALSE(ownerEnabledDuringModal);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, modal.GetHWND());
    EXPECT_NE(nullptr, modal.destroyedHandle);
    modal.Close(1);  // no window: nothing posted, no crash

    // WM_QUIT ends the loop and is posted again for the outer loop.
    PlainWnd second(L"UiKitModalTest");
    ASSERT_TRUE(second.Create(owner, L"modal", WS_POPUP, 0, 10, 10, 50, 50));
    PostQuitMessage(3);
    EXPECT_EQ(0u, second.ShowModal());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(second.GetHWND());
}

// A window that deletes its object on its last message, as dialogs do. Its
// memory is a page of its own that becomes unreadable once it is freed, so a
// loop still reading a member after that faults at once.
class SelfFreeingWnd : public CWindowWnd {
public:
    static SelfFreeingWnd* Make() {
        void* page = VirtualAlloc(nullptr, sizeof(SelfFreeingWnd), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        return page ? new (page) SelfFreeingWnd : nullptr;
    }

protected:
    const wchar_t* WindowClassName() const override { return L"UiKitSelfFreeing"; }
    void OnNcDestroyed(HWND) override {
        this->~SelfFreeingWnd();
        std::memset(static_cast<void*>(this), 0xDD, sizeof(SelfFreeingWnd));
        DWORD old = 0;
        VirtualProtect(this, sizeof(SelfFreeingWnd), PAGE_NOACCESS, &old);
    }
};

TEST(WindowWnd, ShowModalOfAWindowThatFreesItselfUsesOnlyTheHandle) {
    testing_support::HostWindow ownerWindow(OwnerOptions());
    HWND owner = ownerWindow.Hwnd();
    SelfFreeingWnd* modal = SelfFreeingWnd::Make();
    ASSERT_NE(nullptr, modal);
    ASSERT_TRUE(modal->Create(owner, L"modal", WS_POPUP, 0, 10, 10, 50, 50));
    // The close code arrives by message; nothing of the object is read after it.
    PostMessageW(modal->GetHWND(), WM_CLOSE, 9, 0);
    EXPECT_EQ(9u, modal->ShowModal());
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST(WindowWnd, CenterWindowKeepsInsideTheWorkArea) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    PlainWnd w(L"UiKitCenterTest");
    ASSERT_TRUE(w.Create(nullptr, L"c", WS_POPUP, 0, 0, 0, 200, 100));
    w.CenterWindow();
    RECT rc;
    GetWindowRect(w.GetHWND(), &rc);
    EXPECT_EQ((work.left + work.right) / 2 - 100, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 50, rc.top);
    SetWindowPos(w.GetHWND(), nullptr, 0, 0, work.right - work.left + 300, 100, SWP_NOMOVE | SWP_NOZORDER);
    w.CenterWindow();
    GetWindowRect(w.GetHWND(), &rc);
    EXPECT_EQ(work.left, rc.left);  // wider than the area: its left edge
    DestroyWindow(w.GetHWND());
}

TEST(WindowWnd, SuperclassAndSubclassBindTheObject) {
    PlainWnd button(L"UiKitSuperButton", L"BUTTON");
    HWND h = button.Create(nullptr, L"b", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 0, 50, 20);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(&button, GetPropW(h, L"WndX"));
    SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);  // the button's own procedure still works
    EXPECT_EQ(BST_CHECKED, SendMessageW(h, BM_GETCHECK, 0, 0));
    EXPECT_NE(button.seen.end(), std::find(button.seen.begin(), button.seen.end(), UINT(BM_SETCHECK)));
    DestroyWindow(h);
    EXPECT_EQ(h, button.destroyedHandle);
    EXPECT_EQ(nullptr, GetPropW(h, L"WndX"));

    HWND plain = CreateWindowExW(0, L"STATIC", L"s", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PlainWnd sub(L"unused");
    EXPECT_EQ(plain, sub.Subclass(plain));
    SetWindowTextW(plain, L"x");
    EXPECT_NE(sub.seen.end(), std::find(sub.seen.begin(), sub.seen.end(), UINT(WM_SETTEXT)));
    DestroyWindow(plain);
    EXPECT_EQ(plain, sub.destroyedHandle);
    EXPECT_EQ(nullptr, sub.GetHWND());
}

}  // namespace
