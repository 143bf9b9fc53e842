// Every standard control in one window: built from markup, laid out,
// driven with the mouse, checked by its pixels and saved as screenshots
// (controls_demo*.png beside the test programs) for a person to look at.
#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include "host/screen_capture.h"
#include "tests/uikit/controls/test_window.h"
#include "tests/support/test_support.h"
#include "uikit/controls/button_option.h"
#include "uikit/controls/combo.h"
#include "uikit/controls/combo_wnd.h"
#include "uikit/controls/label_text.h"
#include "uikit/controls/list.h"
#include "uikit/controls/list_items.h"
#include "uikit/controls/progress_slider.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;
using controls_test::TestWindow;

namespace {

// A one-colour PNG (with a darker one-pixel frame) written through GDI+.
void WritePng(const std::wstring& path, int w, int h, Gdiplus::ARGB fill, Gdiplus::ARGB frame) {
    Gdiplus::Bitmap bmp(w, h, PixelFormat32bppARGB);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            bmp.SetPixel(x, y, Gdiplus::Color(edge ? frame : fill));
        }
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    bmp.Save(path.c_str(), &png, nullptr);
}

const wchar_t kDemo[] =
    L"<Window size=\"520,360\"><Font name=\"Liberation Sans\" size=\"24\" bold=\"true\"/>"
    L"<VerticalLayout bkcolor=\"#FFF4F6F8\" inset=\"8,8,8,8\" childpadding=\"6\">"
    L"<HorizontalLayout height=\"28\" childpadding=\"6\">"
    L"<Label name=\"lbl\" text=\"Label right\" align=\"right\" width=\"110\" bkcolor=\"#FFE0E0FF\" textcolor=\"#FF202080\" textpadding=\"4,0,4,0\"/>"
    L"<Text name=\"txt\" showhtml=\"true\" text=\"{b}Bold{/b} {c #CC0000}red{/c} {a x}link{/a} {u}u{/u}\" width=\"170\"/>"
    L"<Button name=\"btn\" text=\"Button\" width=\"80\" bkcolor=\"#FF3C8DDE\" textcolor=\"#FFFFFFFF\" hotimage=\"hot.png\"/>"
    L"<Button name=\"btnoff\" text=\"Disabled\" width=\"80\" enabled=\"false\" bkcolor=\"#FFCCCCCC\"/>"
    L"</HorizontalLayout>"
    L"<HorizontalLayout height=\"28\" childpadding=\"6\">"
    L"<Option name=\"o1\" group=\"g\" text=\"One\" selected=\"true\" width=\"70\" normalimage=\"opt.png\" selectedimage=\"sel.png\"/>"
    L"<Option name=\"o2\" group=\"g\" text=\"Two\" width=\"70\" normalimage=\"opt.png\" selectedimage=\"sel.png\"/>"
    L"<Combo name=\"combo\" width=\"120\" bkcolor=\"#FFFFFFFF\" bordercolor=\"#FF888888\" textpadding=\"4,0,4,0\">"
    L"<ListLabelElement text=\"50%\" height=\"23\"/><ListLabelElement text=\"100%\" height=\"23\" selected=\"true\"/>"
    L"<ListLabelElement text=\"150%\" height=\"23\"/><ListLabelElement text=\"200%\" height=\"23\"/></Combo>"
    L"<Progress name=\"prog\" width=\"120\" value=\"60\" foreimage=\"fore.png\" bkcolor=\"#FFDDDDDD\"/>"
    L"</HorizontalLayout>"
    L"<Slider name=\"slider\" height=\"24\" thumbimage=\"thumb.png\" thumbsize=\"16,20\" bkcolor=\"#FFE4E4E4\" value=\"40\"/>"
    L"<List name=\"list\" vscrollbar=\"true\" itemselectedbkcolor=\"#FFC1E3FF\" itemlinecolor=\"#FFE0E0E0\" itemshowhtml=\"true\" bkcolor=\"#FFFFFFFF\">"
    L"<ListHeader height=\"24\" bkcolor=\"#FFE8E8E8\"><ListHeaderItem text=\"Name\" width=\"150\"/><ListHeaderItem text=\"Notes\" width=\"200\"/></ListHeader>"
    L"<ListTextElement name=\"row0\" height=\"22\" text=\"{b}First{/b} row\"/>"
    L"<ListLabelElement name=\"row1\" height=\"22\" text=\"Second row\"/>"
    L"<ListContainerElement name=\"row2\" height=\"26\"><Button name=\"inrow\" text=\"in a row\" width=\"80\" bkcolor=\"#FF88CC88\"/></ListContainerElement>"
    L"</List>"
    L"<TabLayout name=\"tabs\" height=\"24\"><Label text=\"tab page 0\" bkcolor=\"#FFFFF0D0\"/><Label text=\"tab page 1\"/></TabLayout>"
    L"</VerticalLayout></Window>";

COLORREF PixelAt(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

}  // namespace

TEST(Demo, EveryControlBuildsDrawsReactsAndIsSaved) {
    controls_test::GdiplusSession gdiplus;
    testing_support::TempDir skin;
    WritePng(skin / L"fore.png", 20, 20, 0xFF30B050, 0xFF30B050);
    WritePng(skin / L"thumb.png", 16, 20, 0xFF2050D0, 0xFF102060);
    WritePng(skin / L"opt.png", 20, 20, 0xFFFFFFFF, 0xFFFFFFFF);
    WritePng(skin / L"sel.png", 20, 20, 0xFFFFB040, 0xFFFFB040);
    WritePng(skin / L"hot.png", 20, 20, 0xFF5CADFE, 0xFF3C8DDE);
    CSkinSettings::SetResourcePath(skin.Path());

    TestWindow w;
    ASSERT_TRUE(w.Open(kDemo, 60, 60, 520, 360));
    auto* row0 = w.Find<CListTextElementUI>(L"row0");
    ASSERT_NE(row0, nullptr);
    EXPECT_EQ(row0->GetText(0), L"{b}First{/b} row");
    row0->SetText(1, L"two columns, {i thumb.png} and {c #0000CC}colour{/c}");
    w.Update();
    testing_support::PumpFor(50);

    // Every control has a place inside the window.
    for (const wchar_t* name : {L"lbl", L"txt", L"btn", L"btnoff", L"o1", L"o2", L"combo", L"prog", L"slider", L"list",
                                L"row0", L"row1", L"row2", L"inrow", L"tabs"}) {
        CControlUI* c = w.Find<CControlUI>(name);
        ASSERT_NE(c, nullptr) << name;
        RECT rc = c->GetPosition();
        EXPECT_GT(rc.right - rc.left, 0) << name;
        EXPECT_GT(rc.bottom - rc.top, 0) << name;
        EXPECT_LE(rc.right, 520) << name;
    }
    EXPECT_EQ(w.Find<CComboUI>(L"combo")->GetText(), L"100%");
    std::wstring shots = testing_support::BinFolder();
    EXPECT_TRUE(SaveScreenPng(shots + L"controls_demo.png", w.GetHWND()));

    // What must show: the progress fill up to 60 %, the slider thumb at 40 %,
    // the selected option's image.
    RECT prog = w.Find<CControlUI>(L"prog")->GetPosition();
    int midY = (prog.top + prog.bottom) / 2;
    EXPECT_EQ(PixelAt(w.GetHWND(), prog.left + 10, midY), RGB(0x30, 0xB0, 0x50));
    EXPECT_EQ(PixelAt(w.GetHWND(), prog.left + 120 * 60 / 100 + 5, midY), RGB(0xDD, 0xDD, 0xDD));
    auto* slider = w.Find<CSliderUI>(L"slider");
    RECT thumb = slider->GetThumbRect();
    EXPECT_EQ(PixelAt(w.GetHWND(), (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), RGB(0x20, 0x50, 0xD0));
    RECT o1 = w.Find<CControlUI>(L"o1")->GetPosition();
    RECT o2 = w.Find<CControlUI>(L"o2")->GetPosition();
    EXPECT_EQ(PixelAt(w.GetHWND(), o1.left + 3, o1.top + 3), RGB(0xFF, 0xB0, 0x40));
    EXPECT_EQ(PixelAt(w.GetHWND(), o2.left + 3, o2.top + 3), RGB(0xFF, 0xFF, 0xFF));

    // React: an option, a list row, the slider, the button.
    w.Click(w.Center(w.Find<CControlUI>(L"o2")));
    w.Click(w.Center(w.Find<CControlUI>(L"row1")));
    POINT s = w.Center(slider);
    w.LeftDown(s);
    w.LeftUp(POINT{slider->GetPosition().right - 2, s.y});
    w.Click(w.Center(w.Find<CControlUI>(L"btn")));
    EXPECT_EQ(slider->GetValue(), 100);
    EXPECT_EQ(w.Of(L"click").size(), 2u);
    EXPECT_EQ(w.Of(L"selectchanged").size(), 1u);
    EXPECT_EQ(w.Of(L"itemselect").size(), 1u);
    EXPECT_EQ(w.Of(L"valuechanged").size(), 1u);
    w.Update();
    testing_support::PumpFor(50);
    RECT row1 = w.Find<CControlUI>(L"row1")->GetPosition();
    EXPECT_EQ(PixelAt(w.GetHWND(), row1.right - 20, (row1.top + row1.bottom) / 2), RGB(0xC1, 0xE3, 0xFF));
    EXPECT_EQ(PixelAt(w.GetHWND(), o2.left + 3, o2.top + 3), RGB(0xFF, 0xB0, 0x40));
    thumb = slider->GetThumbRect();
    EXPECT_EQ(thumb.right, slider->GetPosition().right);
    EXPECT_TRUE(SaveScreenPng(shots + L"controls_demo_used.png", w.GetHWND()));

    // The combo's drop-down over the window.
    auto* combo = w.Find<CComboUI>(L"combo");
    w.Click(w.Center(combo));
    ASSERT_TRUE(combo->IsDropped());
    testing_support::PumpFor(50);
    HWND popup = combo->GetDropWindow()->GetHWND();
    RECT pr;
    GetWindowRect(popup, &pr);
    EXPECT_EQ(pr.bottom - pr.top, 4 * 23 + 4);
    EXPECT_TRUE(SaveScreenPng(shots + L"controls_demo_dropdown.png", w.GetHWND()));
    SendMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    testing_support::PumpFor(50);
    EXPECT_FALSE(combo->IsDropped());

    // Images with frames and font numbers inside formatted text, measured
    // with the window's images and fonts.
    HDC dc = GetDC(w.GetHWND());
    FormattedDrawParams measure;
    measure.measureOnly = true;
    measure.style = DT_SINGLELINE;
    RECT room = {0, 0, 300, 100};
    SIZE whole = DrawFormattedText(dc, &w.Manager(), room, L"{i thumb.png}", measure);
    SIZE frame = DrawFormattedText(dc, &w.Manager(), room, L"{i thumb.png 2 1}", measure);
    SIZE big = DrawFormattedText(dc, &w.Manager(), room, L"{f 0}Ag{/f}", measure);
    SIZE normal = DrawFormattedText(dc, &w.Manager(), room, L"Ag", measure);
    ReleaseDC(w.GetHWND(), dc);
    EXPECT_EQ(whole.cx, 16);
    EXPECT_EQ(whole.cy, 20);
    EXPECT_EQ(frame.cx, 8);
    EXPECT_GT(big.cy, normal.cy + 6);
    CSkinSettings::SetResourcePath(L"");
}
