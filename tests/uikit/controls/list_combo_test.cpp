// The list family and the combo with its drop-down, in real windows.
#include <gtest/gtest.h>

#include "tests/uikit/controls/test_window.h"
#include "tests/support/message_pump.h"
#include "uikit/controls/combo.h"
#include "uikit/controls/combo_wnd.h"
#include "uikit/controls/layouts_extra.h"
#include "uikit/controls/list.h"
#include "uikit/controls/list_items.h"
#include "uikit/core/scrollbar.h"

using namespace UiKit;
using controls_test::Note;
using controls_test::TestWindow;

namespace {

std::wstring Sequence(const std::vector<Note>& notes) {
    std::wstring s;
    for (const auto& n : notes) {
        s += n.type + L":" + n.sender;
        if (n.type == L"itemselect") s += L"(" + std::to_wstring(n.wParam) + L"," + std::to_wstring(static_cast<int>(n.lParam)) + L")";
        s += L" ";
    }
    return s;
}

const wchar_t kList[] =
    L"<Window><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<List name=\"list\" vscrollbar=\"true\" itemlinecolor=\"#FFDDDDDD\">"
    L"<ListHeader><ListHeaderItem name=\"h0\" text=\"Name\" width=\"100\"/><ListHeaderItem name=\"h1\" text=\"Size\" width=\"80\"/></ListHeader>"
    L"<ListLabelElement name=\"l0\" text=\"zero\" height=\"20\"/>"
    L"<ListContainerElement name=\"c1\" height=\"24\"><Label name=\"inner\" text=\"one\"/></ListContainerElement>"
    L"<ListTextElement name=\"t2\" height=\"20\" text=\"two\"/>"
    L"<ListLabelElement name=\"l3\" text=\"three\" height=\"20\" enabled=\"false\"/>"
    L"<ListLabelElement name=\"l4\" text=\"four\" height=\"20\"/>"
    L"</List></VerticalLayout></Window>";

}  // namespace

TEST(List, ItemClickComesBeforeItemSelectAndOnlyOnce) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kList, 50, 50, 300, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 5);
    EXPECT_EQ(list->GetHeader()->GetCount(), 2);
    EXPECT_EQ(list->GetColumnCount(), 2);
    // Lists and their items are no tab stops.
    EXPECT_EQ(list->GetControlFlags() & UIFLAG_TABSTOP, 0u);
    EXPECT_EQ(w.Find<CControlUI>(L"l0")->GetControlFlags() & UIFLAG_TABSTOP, 0u);

    w.Click(w.Center(w.Find<CControlUI>(L"l0")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemclick:l0 itemselect:list(0,-1) ");
    EXPECT_EQ(list->GetCurSel(), 0);

    w.notes.clear();
    w.Click(w.Center(w.Find<CControlUI>(L"l0")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemclick:l0 ");

    // A click on a child of a container item selects the item.
    w.notes.clear();
    w.Click(w.Center(w.Find<CControlUI>(L"inner")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemclick:c1 itemselect:list(1,0) ");
}

TEST(List, RightButtonMenuDisabledItemsAndActivation) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kList, 50, 50, 300, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    w.RightDown(w.Center(w.Find<CControlUI>(L"c1")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"menu:c1 itemselect:list(1,-1) ");

    // A right press on a label item is a click.
    w.notes.clear();
    w.RightDown(w.Center(w.Find<CControlUI>(L"t2")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemclick:t2 itemselect:list(2,1) ");

    // The disabled item neither reports nor gets selected.
    w.notes.clear();
    w.Click(w.Center(w.Find<CControlUI>(L"l3")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"");
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_FALSE(list->SelectItem(3));
    EXPECT_EQ(list->GetCurSel(), -1);  // the old item stays deselected
    EXPECT_TRUE(w.Of(L"itemselect").empty());

    POINT c1 = w.Center(w.Find<CControlUI>(L"c1"));
    SendMessageW(w.GetHWND(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c1.x, c1.y));
    SendMessageW(w.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(c1.x, c1.y));
    EXPECT_EQ(w.Of(L"itemactivate").size(), 1u);
    EXPECT_EQ(w.Of(L"itemactivate")[0].sender, L"c1");
}

TEST(List, KeysMoveTheSelectionOverDisabledItems) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kList, 50, 50, 300, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    w.Click(w.Center(w.Find<CControlUI>(L"t2")));
    w.notes.clear();
    w.Key(VK_DOWN);
    EXPECT_EQ(list->GetCurSel(), 4);
    w.Key(VK_HOME);
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemselect:list(4,2) itemselect:list(0,4) ");
    w.notes.clear();
    w.Key(VK_RETURN);
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"itemactivate:l0 ");
}

TEST(List, HeaderClickColumnsAndTheColumnLimit) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kList, 50, 50, 300, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    w.Click(w.Center(w.Find<CControlUI>(L"h1")));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"headerclick:h1 ");
    RECT h1 = w.Find<CControlUI>(L"h1")->GetPosition();
    EXPECT_EQ(list->GetListInfo()->column[1].left, h1.left);
    EXPECT_EQ(h1.right - h1.left, 80);
    // Items sit under the header.
    EXPECT_EQ(w.Find<CControlUI>(L"l0")->GetPosition().top, h1.bottom);

    for (int i = 0; i < 38; ++i) {
        auto* item = new CListHeaderItemUI();
        item->SetFixedWidth(5);
        list->Add(item);
    }
    w.Update();
    EXPECT_EQ(list->GetHeader()->GetCount(), 40);
    EXPECT_EQ(list->GetColumnCount(), kMaxListColumns);
}

TEST(List, RemovingAndMovingItemsKeepsTheSelection) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kList, 50, 50, 300, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    CControlUI* t2 = w.Find<CControlUI>(L"t2");
    EXPECT_TRUE(list->SelectItem(2));
    list->RemoveAt(0);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(list->SetItemIndex(t2, 3));
    EXPECT_EQ(list->GetCurSel(), 3);
    for (int i = 0; i < list->GetCount(); ++i) {
        auto* item = static_cast<IListItemUI*>(list->GetItemAt(i)->FindInterface(L"ListItem"));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetIndex(), i);
    }
}

TEST(List, ScrollsASelectedItemIntoView) {
    std::wstring markup = L"<Window><VerticalLayout><List name=\"list\" vscrollbar=\"true\">";
    for (int i = 0; i < 30; ++i) markup += L"<ListLabelElement name=\"i" + std::to_wstring(i) + L"\" text=\"row\" height=\"20\"/>";
    markup += L"</List></VerticalLayout></Window>";
    TestWindow w;
    ASSERT_TRUE(w.Open(markup.c_str(), 50, 50, 200, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
    EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    list->SelectItem(25);
    RECT item = w.Find<CControlUI>(L"i25")->GetPosition();
    RECT view = list->GetBody()->GetPosition();
    EXPECT_GE(item.top, view.top);
    EXPECT_LE(item.bottom, view.bottom);
    EXPECT_GT(list->GetScrollPos().cy, 0);
}

namespace {

std::wstring ZoomCombo(int top) {
    std::wstring m = L"<Window><VerticalLayout bkcolor=\"#FFFFFFFF\"><Combo name=\"zoom\" float=\"true\" pos=\"20," +
                     std::to_wstring(top) + L",140," + std::to_wstring(top + 24) + L"\">";
    for (int i = 0; i < 11; ++i)
        m += L"<ListLabelElement name=\"z" + std::to_wstring(i) + L"\" text=\"" + std::to_wstring(50 + 25 * i) +
             L"%\" height=\"23\"/>";
    m += L"</Combo></VerticalLayout></Window>";
    return m;
}

RECT ScreenRect(HWND hwnd, RECT rc) {
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

TEST(Combo, DropDownBelowWith150PixelsAndAScrollBar) {
    TestWindow w;
    std::wstring markup = ZoomCombo(20);
    ASSERT_TRUE(w.Open(markup.c_str(), 100, 100, 300, 300));
    auto* combo = w.Find<CComboUI>(L"zoom");
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->SelectItem(2));
    EXPECT_EQ(combo->GetText(), L"100%");
    w.notes.clear();
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"dropdown:zoom ");
    HWND popup = combo->GetDropWindow()->GetHWND();
    testing_support::PumpFor(30);
    RECT rc;
    GetWindowRect(popup, &rc);
    RECT comboScreen = ScreenRect(w.GetHWND(), combo->GetPosition());
    EXPECT_EQ(rc.bottom - rc.top, 150);
    EXPECT_EQ(rc.right - rc.left, 120);
    EXPECT_EQ(rc.top, comboScreen.bottom);
    EXPECT_EQ(rc.left, comboScreen.left);
    CScrollBarUI* bar = combo->GetDropWindow()->GetLayout()->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());

    // Keys move the selection; Esc puts the old one back and closes.
    SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->GetCurSel(), 4);
    SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    testing_support::PumpFor(30);
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(Sequence(w.Of(L"itemselect")), L"itemselect:zoom(3,2) itemselect:zoom(4,3) itemselect:zoom(2,4) ");
    // The items are the combo's again.
    EXPECT_EQ(w.Find<CControlUI>(L"z5")->GetManager(), &w.Manager());
    EXPECT_EQ(w.Find<CControlUI>(L"z5")->GetParent(), combo);
}

TEST(Combo, ClickingAnItemSelectsItAndCloses) {
    TestWindow w;
    std::wstring markup = ZoomCombo(20);
    ASSERT_TRUE(w.Open(markup.c_str(), 100, 100, 300, 300));
    auto* combo = w.Find<CComboUI>(L"zoom");
    ASSERT_NE(combo, nullptr);
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    HWND popup = combo->GetDropWindow()->GetHWND();
    testing_support::PumpFor(30);
    CControlUI* item = combo->GetItemAt(3);
    RECT rc = item->GetPosition();
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageW(popup, WM_MOUSEMOVE, 0, at);
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(popup, WM_LBUTTONUP, 0, at);
    testing_support::PumpFor(30);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(combo->GetCurSel(), 3);
    EXPECT_EQ(combo->GetText(), L"125%");
    EXPECT_EQ(Sequence(w.Of(L"itemselect")), L"itemselect:zoom(3,-1) ");
    // The wheel over the closed combo moves the selection too.
    w.Wheel(w.Center(combo), true);
    EXPECT_EQ(combo->GetCurSel(), 4);
    // An index past the end selects the last item.
    EXPECT_TRUE(combo->SelectItem(99));
    EXPECT_EQ(combo->GetCurSel(), 10);
    // The window may go while the drop-down is open: the items come back
    // before the combo and its window are destroyed.
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    popup = combo->GetDropWindow()->GetHWND();
    DestroyWindow(w.GetHWND());
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_EQ(combo->GetItemAt(0)->GetParent(), combo);
}

TEST(Combo, DropDownOpensAboveNearTheBottomOfTheWorkArea) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    TestWindow w;
    std::wstring markup = ZoomCombo(10);
    // The combo's bottom ends 100 px above the work area's bottom.
    ASSERT_TRUE(w.Open(markup.c_str(), 100, work.bottom - 134, 300, 134));
    auto* combo = w.Find<CComboUI>(L"zoom");
    ASSERT_NE(combo, nullptr);
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    HWND popup = combo->GetDropWindow()->GetHWND();
    RECT rc;
    GetWindowRect(popup, &rc);
    RECT comboScreen = ScreenRect(w.GetHWND(), combo->GetPosition());
    EXPECT_EQ(comboScreen.bottom, work.bottom - 100);
    EXPECT_EQ(rc.bottom, comboScreen.top);
    EXPECT_EQ(rc.bottom - rc.top, 150);
    // Losing the focus to another window closes it without a selection.
    TestWindow other;
    ASSERT_TRUE(other.Open(L"<Window><Label text=\"x\"/></Window>", 0, 0, 50, 50));
    SetFocus(other.GetHWND());
    testing_support::PumpFor(50);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(combo->IsDropped());
    EXPECT_TRUE(w.Of(L"itemselect").empty());
}

TEST(Combo, RemovedWhileOpenClosesItsDropDown) {
    TestWindow w;
    std::wstring markup = ZoomCombo(20);
    ASSERT_TRUE(w.Open(markup.c_str(), 100, 100, 300, 300));
    auto* combo = w.Find<CComboUI>(L"zoom");
    ASSERT_NE(combo, nullptr);
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    HWND popup = combo->GetDropWindow()->GetHWND();
    auto* parent = static_cast<CContainerUI*>(combo->GetParent());
    parent->SetAutoDestroy(true);
    EXPECT_TRUE(parent->Remove(combo));
    testing_support::PumpFor(30);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(w.Find<CControlUI>(L"zoom"), nullptr);
    w.Update();
}

TEST(Combo, PlacementRule) {
    RECT work = {0, 0, 1280, 1024};
    RECT below = CComboWnd::PlaceDropDown(RECT{10, 100, 130, 124}, SIZE{0, 150}, 253, work);
    EXPECT_EQ(below.top, 124);
    EXPECT_EQ(below.bottom, 274);
    EXPECT_EQ(below.right - below.left, 120);
    RECT small = CComboWnd::PlaceDropDown(RECT{10, 100, 130, 124}, SIZE{200, 150}, 46, work);
    EXPECT_EQ(small.bottom - small.top, 50);
    EXPECT_EQ(small.right - small.left, 200);
    RECT above = CComboWnd::PlaceDropDown(RECT{10, 900, 130, 924}, SIZE{0, 150}, 253, work);
    EXPECT_EQ(above.bottom, 900);
    EXPECT_EQ(above.top, 750);
}

TEST(TabLayout, ShowsOneChildAndReportsTheChange) {
    TestWindow w;
    ASSERT_TRUE(w.Open(L"<Window><TabLayout name=\"tabs\" selectedid=\"1\"><Label name=\"p0\" text=\"0\"/>"
                       L"<Label name=\"p1\" text=\"1\"/><Label name=\"p2\" text=\"2\"/></TabLayout></Window>",
                       50, 50, 200, 100));
    auto* tabs = w.Find<CTabLayoutUI>(L"tabs");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_TRUE(w.Find<CControlUI>(L"p1")->IsVisible());
    EXPECT_FALSE(w.Find<CControlUI>(L"p0")->IsVisible());
    tabs->SelectItem(2);
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"tabselect:tabs ");
    EXPECT_EQ(w.Of(L"tabselect")[0].wParam, 2u);
    EXPECT_EQ(w.Of(L"tabselect")[0].lParam, 1);
    EXPECT_FALSE(w.Find<CControlUI>(L"p1")->IsVisible());
}
