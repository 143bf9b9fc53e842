// The builder: declarations into the manager, the order in which default
// lists and attributes are applied, the callback, Include, and the cases
// that end a build.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/uikit/core/ui_test_window.h"
#include "uikit/core/control_factory.h"
#include "uikit/core/layouts.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;
using uikit_test::AttributeLog;
using uikit_test::ProbeUI;
using uikit_test::TestWindow;

namespace {

class Callback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* name) override {
        asked.push_back(name);
        if (wcscmp(name, L"Probe") == 0) return new ProbeUI();
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

TEST(Builder, DefaultsFirstThenOwnAttributesChildrenBeforeParents) {
    AttributeLog().clear();
    TestWindow w(L"<Window size=\"300,200\" caption=\"0,0,0,30\" sizebox=\"4,4,6,6\" roundcorner=\"5,5\" "
                 L"mininfo=\"100,80\" maxinfo=\"800,600\" disabledfontcolor=\"#FF010203\">"
                 L"<Default name=\"LogProbe\" value=\"tooltip=&quot;from default&quot; userdata=&quot;d&quot;\"/>"
                 L"<LogLayout name=\"outer\"><LogProbe name=\"inner\" tooltip=\"own\"/></LogLayout>"
                 L"</Window>");
    ASSERT_TRUE(w.Open());
    EXPECT_EQ((std::vector<std::wstring>{L"tooltip=from default", L"userdata=d", L"name=inner", L"tooltip=own",
                                         L"name=outer"}),
              AttributeLog());
    EXPECT_EQ(L"own", w.Find(L"inner")->GetToolTip());
    EXPECT_EQ(L"d", w.Find(L"inner")->GetUserData());
    CUIWindowManager& m = w.Manager();
    EXPECT_EQ(300, m.GetInitSize().cx);
    RECT rc;
    GetWindowRect(w.GetHWND(), &rc);
    EXPECT_EQ(300, rc.right - rc.left);  // resized at once: no tree was attached yet
    EXPECT_EQ(30, m.GetCaptionRect().bottom);
    EXPECT_EQ(6, m.GetSizeBox().right);
    EXPECT_EQ(5, m.GetRoundCorner().cy);
    EXPECT_EQ(100, m.GetMinInfo().cx);
    EXPECT_EQ(600, m.GetMaxInfo().cy);
    EXPECT_EQ(0xFF010203u, m.GetDefaultDisabledColor());
    EXPECT_EQ(0xFF000000u, m.GetDefaultFontColor());
    MINMAXINFO mmi = {};
    SendMessageW(w.GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(100, mmi.ptMinTrackSize.x);
    EXPECT_EQ(800, mmi.ptMaxTrackSize.x);
}

TEST(Builder, FontsAreNumberedByDocumentOrder) {
    TestWindow w(L"<Window><Font id=\"3\" name=\"Arial\" size=\"20\"/><Font id=\"0\" name=\"Tahoma\" bold=\"true\"/>"
                 L"<Font name=\"Courier New\" size=\"9\" italic=\"true\" underline=\"true\" default=\"true\"/>"
                 L"<Control/></Window>");
    ASSERT_TRUE(w.Open());
    CUIWindowManager& m = w.Manager();
    ASSERT_EQ(3, m.GetFontCount());
    EXPECT_EQ(L"Arial", m.GetFontInfo(0)->faceName);
    EXPECT_EQ(20, m.GetFontInfo(0)->size);
    EXPECT_EQ(L"Tahoma", m.GetFontInfo(1)->faceName);
    EXPECT_EQ(12, m.GetFontInfo(1)->size);  // size defaults to 12
    EXPECT_TRUE(m.GetFontInfo(1)->bold);
    EXPECT_EQ(L"Courier New", m.GetDefaultFontInfo()->faceName);
    EXPECT_TRUE(m.GetDefaultFontInfo()->italic);
    // A number outside the table is the default font.
    EXPECT_EQ(m.GetDefaultFont(), m.GetFont(7));
    EXPECT_EQ(m.GetDefaultFont(), m.GetFont(-1));
    LOGFONTW lf = {};
    GetObjectW(m.GetFont(0), sizeof(lf), &lf);
    EXPECT_EQ(-20, lf.lfHeight);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    // A parent resource manager answers what a child does not have.
    CUIWindowManager child;
    child.SetParentResourceManager(&m);
    EXPECT_EQ(m.GetFont(1), child.GetFont(1));
    EXPECT_EQ(m.GetDefaultFont(), child.GetDefaultFont());
}

TEST(Builder, UnknownElementsAreSkippedAndTheCallbackIsAsked) {
    Callback cb;
    CSkinBuilder b;
    CControlUI* root = b.Build(L"<Window><VerticalLayout name=\"v\"><Unknown><Probe name=\"lost\"/></Unknown>"
                               L"<Probe name=\"kept\"/><Label name=\"maybe\"/></VerticalLayout></Window>",
                               nullptr, &cb);
    ASSERT_NE(nullptr, root);
    auto* v = static_cast<CContainerUI*>(root);
    EXPECT_STREQ(L"VerticalLayoutUI", v->GetClassName());
    // "Unknown" and its child are gone; a catalogue name nobody built yet
    // gives nothing rather than a crash.
    ASSERT_GE(v->GetCount(), 1);
    EXPECT_EQ(L"kept", v->GetItemAt(0)->GetName());
    EXPECT_EQ(std::find(cb.asked.begin(), cb.asked.end(), L"Unknown") != cb.asked.end(), true);
    EXPECT_EQ(std::find(cb.asked.begin(), cb.asked.end(), L"VerticalLayout"), cb.asked.end());
    delete root;
}

TEST(Builder, AParentWithoutContainerEndsTheBuild) {
    Callback cb;
    CSkinBuilder b;
    EXPECT_EQ(nullptr, b.Build(L"<Window><Control><Probe/></Control></Window>", nullptr, &cb));
    EXPECT_EQ(nullptr, b.Build(L"<Window><Button</Window>", nullptr, &cb));
    EXPECT_EQ(L"Error while parsing attributes", b.GetMarkup().GetLastErrorMessage());
    EXPECT_EQ(nullptr, b.Build(L"missing-file.xml"));
    // Building into a parent adds the top-level controls to it.
    CVerticalLayoutUI parent;
    CControlUI* first = b.Build(L"<Window><Control name=\"a\"/><Control name=\"b\"/></Window>", nullptr, nullptr,
                                nullptr, &parent);
    EXPECT_EQ(2, parent.GetCount());
    EXPECT_EQ(parent.GetItemAt(0), first);
    EXPECT_EQ(&parent, first->GetParent());
}

struct CountedUI : CControlUI {
    static int alive;
    CountedUI() { ++alive; }
    ~CountedUI() override { --alive; }
};
int CountedUI::alive = 0;
struct CountingCallback : IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* name) override {
        return wcscmp(name, L"Counted") == 0 ? new CountedUI() : nullptr;
    }
};

TEST(Builder, NothingIsLeftOwnerless) {
    CountingCallback cb;
    CSkinBuilder b;
    CountedUI::alive = 0;
    EXPECT_EQ(nullptr, b.Build(L"<Window><Counted/><Counted/><Control><Counted/></Control></Window>", nullptr, &cb));
    EXPECT_EQ(0, CountedUI::alive);
    CControlUI* first = b.Build(L"<Window><Counted name=\"one\"/><Counted name=\"two\"/></Window>", nullptr, &cb);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L"one", first->GetName());
    EXPECT_EQ(1, CountedUI::alive);
    delete first;
}

TEST(Builder, OnlySixtyFourAttributesApply) {
    std::wstring text = L"<Window><Probe";
    for (int i = 0; i < 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    text += L"/></Window>";
    Callback cb;
    CSkinBuilder b;
    auto* p = static_cast<ProbeUI*>(b.Build(text.c_str(), nullptr, &cb));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(64u, p->applied.size());
    EXPECT_EQ(L"a63=63", p->applied.back());
    delete p;
}

TEST(Builder, IncludeBuildsAFileIntoTheCurrentParent) {
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir / L"part.xml",
                                    "<Window><Font name=\"Arial\"/><Control name=\"inc\" height=\"10\"/></Window>");
    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(dir.Path());
    TestWindow w(L"<Window><VerticalLayout name=\"v\"><Include source=\"part.xml\" count=\"3\"/>"
                 L"<Include source=\"part.xml\" count=\"0\"/><Include/></VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    auto* v = static_cast<CContainerUI*>(w.Find(L"v"));
    EXPECT_EQ(3, v->GetCount());
    EXPECT_EQ(3, w.Manager().GetFontCount());  // each copy declares its font
    EXPECT_EQ(10, v->GetItemAt(2)->GetPosition().top - v->GetItemAt(1)->GetPosition().top);
    CSkinSettings::SetResourcePath(L"");
}

TEST(Builder, SelfIncludingAndMultiplyingIncludesEnd) {
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir / L"self.xml",
                                    "<Window><Control/><Include source=\"self.xml\" count=\"1000\"/></Window>");
    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(dir.Path());
    CVerticalLayoutUI parent;
    CSkinBuilder b;
    CControlUI* first = b.Build(L"self.xml", nullptr, nullptr, nullptr, &parent);
    EXPECT_NE(nullptr, first);
    // One control per included document, within the budget of a build.
    EXPECT_GT(parent.GetCount(), 16);
    EXPECT_LE(parent.GetCount(), CSkinBuilder::kMaxIncludes + 1);
    CSkinSettings::SetResourcePath(L"");
}

TEST(Builder, RegisteredElementNamesAreBuiltWithoutTheCallback) {
    RegisterControlClass(L"TestOnlyProbe", [] { return static_cast<CControlUI*>(new ProbeUI()); });
    CSkinBuilder b;
    CControlUI* c = b.Build(L"<Window><TestOnlyProbe name=\"t\"/></Window>");
    ASSERT_NE(nullptr, c);
    EXPECT_STREQ(L"ProbeUI", c->GetClassName());
    delete c;
    RegisterControlClass(L"TestOnlyProbe", nullptr);
    EXPECT_EQ(nullptr, CreateBuiltinControl(L"TestOnlyProbe"));
    EXPECT_EQ(nullptr, CreateBuiltinControl(L"control"));  // exact case
    CControlUI* sb = CreateBuiltinControl(L"ScrollBar");
    ASSERT_NE(nullptr, sb);
    EXPECT_STREQ(L"ScrollBarUI", sb->GetClassName());
    delete sb;
}

TEST(ControlAttributes, CommonAttributeTable) {
    CControlUI c;
    c.ApplyAttribute(L"pos", L"-5,7,10,20");
    EXPECT_EQ(10, c.GetFixedXY().cx);  // l < 0: r
    EXPECT_EQ(7, c.GetFixedXY().cy);
    EXPECT_EQ(15, c.GetFixedWidth());
    EXPECT_EQ(13, c.GetFixedHeight());
    c.ApplyAttributeList(L"bkcolor=\"  #FF112233\" bordercolor=\"#FF445566\" bordersize=\"3\" borderround=\"4,5\" "
                         L"visible=\"FALSE\" enabled=\"false\" mouse=\"false\" keyboard=\"false\" float=\"true\" "
                         L"shortcut=\"xyz\" menu=\"true\" minwidth=\"3\" maxheight=\"50\" padding=\"1,2,3,4\"");
    EXPECT_EQ(0xFF112233u, c.GetBkColor());
    EXPECT_EQ(0xFF445566u, c.GetBorderColor());
    EXPECT_EQ(3, c.GetBorderSize());
    EXPECT_EQ(5, c.GetBorderRound().cy);
    EXPECT_FALSE(c.IsVisible());
    EXPECT_FALSE(c.IsEnabled());
    EXPECT_FALSE(c.IsMouseEnabled());
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_TRUE(c.IsFloat());
    EXPECT_EQ(L'x', c.GetShortcut());
    EXPECT_TRUE(c.IsContextMenuUsed());
    EXPECT_EQ(3, c.GetMinWidth());
    EXPECT_EQ(50, c.GetMaxHeight());
    EXPECT_EQ(99999, c.GetMaxWidth());
    EXPECT_EQ(4, c.GetPadding().bottom);
    c.ApplyAttribute(L"nosuchattribute", L"1");  // ignored
    EXPECT_FALSE(c.Activate());
}

}  // namespace
