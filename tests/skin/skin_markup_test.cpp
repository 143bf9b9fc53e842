// The packaged markup against what the windows' code looks up in it: every
// control the code finds by name exists with the element kind the code casts
// it to, and the settings the windows rely on are there.
#include <string>
#include <vector>

#include "tests/skin/skin_fixture.h"

namespace skin_test {
namespace {

struct Expect {
    const char* name;
    const char* element;  // nullptr: any element
};

void ExpectControls(const MarkupDoc& doc, const std::vector<Expect>& wanted, const char* file) {
    for (const Expect& w : wanted) {
        const MarkupElement* e = doc.Named(w.name);
        ASSERT_NE(e, nullptr) << file << " lacks " << w.name;
        if (w.element) {
            EXPECT_EQ(e->name, w.element) << file << " " << w.name;
        }
    }
    // The toolkit registers the first control of a name; a second one would
    // never be found by the code. (Font and Default use "name" for other things.)
    auto control = [](const MarkupElement& e) { return e.Has("name") && e.name != "Font" && e.name != "Default"; };
    for (size_t i = 0; i < doc.elements.size(); ++i) {
        for (size_t j = i + 1; j < doc.elements.size() && control(doc.elements[i]); ++j) {
            if (control(doc.elements[j])) {
                EXPECT_NE(doc.elements[i].Attr("name"), doc.elements[j].Attr("name")) << file << " duplicate name";
            }
        }
    }
}

TEST_F(SkinPackageTest, PlayerWindowHoldsTheControlsItsCodeLooksUp) {
    const MarkupDoc& doc = markup_["WndMelvane.xml"];
    EXPECT_TRUE(doc.error.empty()) << doc.error;
    ExpectControls(doc,
                   {{"bg", "VerticalLayout"}, {"VerticalLayoutUI1", "VerticalLayout"},
                    {"ID_WND_TITLE", "HorizontalLayout"}, {"ID_WND_MELVANE_TITLE", "Label"},
                    {"ID_BTN_MELVANE_SETTING", "Button"}, {"ID_BTN_MELVANE_MIN", "Button"},
                    {"ID_BTN_MELVANE_MAX", "Button"}, {"ID_BTN_MELVANE_RESTORE", "Button"},
                    {"ID_BTN_MELVANE_CLOSE", "Button"}, {"ID_OPERATION_PANEL", "HorizontalLayout"},
                    {"ID_BTN_OPEN_FILE", "Button"}, {"ID_BTN_ZOOM_IN", "Button"}, {"ID_BTN_ZOOM_OUT", "Button"},
                    {"ID_COMBO_ZOOM", "Combo"}, {"ID_BTN_ZOOM_WIDTH", "Button"}, {"ID_BTN_REPEAT_AB", "Button"},
                    {"ID_BTN_TEMPO_PLUS", "Button"}, {"ID_BTN_TEMPO_DIS", "Button"}, {"ID_BTN_TEMPO_ADD", "Button"},
                    {"ID_BTN_PAGE_HOME", "Button"}, {"ID_BTN_PAGE_PREV", "Button"}, {"ID_BTN_PAGE_NEXT", "Button"},
                    {"ID_BTN_PAGE_END", "Button"}, {"ID_SCORE_PANEL", "WndSubScoreList"},
                    {"ID_SCORE_VIEW", "ScoreList"}, {"ID_PANEL_PLAY_DIS", "VerticalLayout"},
                    {"ID_SLIDER_PLAY_RULER", "SliderEx"}, {"ID_BOTTOM_GAP1", nullptr}, {"ID_BOTTOM_GAP2", nullptr},
                    {"ID_BTN_PLAY_LEFT", "Button"}, {"ID_BTN_HIDE_LEFT", "Button"}, {"ID_BTN_PLAY_RIGHT", "Button"},
                    {"ID_BTN_HIDE_RIGHT", "Button"}, {"ID_SCORE_KEY_VALUE", "Label"},
                    {"ID_SCORE_METER_VALUE", "Label"}, {"ID_SCORE_TEMPO_VALUE", "Label"},
                    {"ID_SCORE_MEASURE_VALUE_CUR", "Label"}, {"ID_SCORE_MEASURE_VALUE", "Label"},
                    {"ID_SCORE_TIME_VALUE_CUR", "Label"}, {"ID_SCORE_TIME_VALUE", "Label"},
                    {"ID_BTN_SCORE_START", "Button"}, {"ID_BTN_SCORE_PAUSE", "Button"},
                    {"ID_BTN_SCORE_STOP", "Button"}, {"ID_LABEL_VERSION", "Label"}, {"ID_BTN_LINK_HOME", "Button"},
                    {"ID_BTN_SHOW_SCORE_PANEL", "Button"}, {"ID_BTN_HIDE_SCORE_PANEL", "Button"},
                    {"ID_BTN_SHOW_OPERATION_PANEL", "Button"}, {"ID_BTN_HIDE_OPERATION_PANEL", "Button"},
                    {"ID_WND_RESIZE_FLAG", nullptr}},
                   "WndMelvane.xml");
    if (HasFatalFailure()) return;

    // The layout arithmetic of the window depends on these fixed sizes.
    EXPECT_EQ(doc.Named("VerticalLayoutUI1")->Attr("inset"), "2,2,2,2");
    EXPECT_EQ(doc.Named("ID_WND_TITLE")->Attr("height"), "28");
    EXPECT_EQ(doc.Named("ID_OPERATION_PANEL")->Attr("height"), "39");
    EXPECT_EQ(doc.Named("ID_SCORE_PANEL")->Attr("width"), "205");
    EXPECT_EQ(doc.Named("ID_PANEL_PLAY_DIS")->Attr("height"), "90");
    EXPECT_EQ(doc.Named("ID_SLIDER_PLAY_RULER")->Attr("thumbsize"), "20,17");
    EXPECT_EQ(doc.Named("ID_BTN_REPEAT_AB")->Attr("enabled"), "false");
    EXPECT_EQ(doc.Named("ID_BTN_MELVANE_SETTING")->Attr("visible"), "false");
    // Exactly one button of each hand pair shows: the play buttons at start.
    EXPECT_FALSE(doc.Named("ID_BTN_PLAY_LEFT")->Has("visible"));
    EXPECT_EQ(doc.Named("ID_BTN_HIDE_LEFT")->Attr("visible"), "false");
    EXPECT_EQ(doc.Named("ID_BTN_HIDE_RIGHT")->Attr("visible"), "false");

    // Panel tabs and the grip float over the root and are placed by code.
    const MarkupElement* root = doc.Named("bg");
    for (const char* name : {"ID_BTN_SHOW_SCORE_PANEL", "ID_BTN_HIDE_SCORE_PANEL", "ID_BTN_SHOW_OPERATION_PANEL",
                             "ID_BTN_HIDE_OPERATION_PANEL", "ID_WND_RESIZE_FLAG"}) {
        const MarkupElement* e = doc.Named(name);
        EXPECT_EQ(e->Attr("float"), "true") << name;
        EXPECT_EQ(&doc.elements[e->parent], root) << name;
    }
}

TEST_F(SkinPackageTest, ZoomComboListsTheElevenLevelsInTableOrder) {
    const MarkupDoc& doc = markup_["WndMelvane.xml"];
    const MarkupElement* combo = doc.Named("ID_COMBO_ZOOM");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Attr("width"), "80");
    std::vector<std::string> texts;
    for (const MarkupElement* item : doc.ChildrenOf(combo)) {
        EXPECT_EQ(item->name, "ListLabelElement");
        texts.push_back(item->Attr("text"));
    }
    const std::vector<std::string> expected = {"400%", "300%", "200%", "175%", "150%", "125%",
                                               "100%", "75%",  "50%",  "25%",  "Auto"};
    EXPECT_EQ(texts, expected);
}

TEST_F(SkinPackageTest, PlayerWindowSettingsAndFonts) {
    const MarkupDoc& doc = markup_["WndMelvane.xml"];
    const MarkupElement& window = doc.elements[0];
    EXPECT_EQ(window.Attr("sizebox"), "4,4,4,4");
    EXPECT_EQ(window.Attr("caption"), "0,0,0,30");
    EXPECT_EQ(window.Attr("mininfo"), "540,400");
    EXPECT_EQ(window.Attr("roundcorner"), "4,4");
    // Fonts are numbered by their order; the ruler's text uses number 4.
    std::vector<std::string> fonts;
    for (const MarkupElement* f : doc.OfType("Font"))
        fonts.push_back(f->Attr("name") + " " + f->Attr("size") + (f->Attr("bold") == "true" ? " bold" : ""));
    const std::vector<std::string> expected = {"Ms Sans Serif 12", "Ms Sans Serif 14 bold", "Ms Sans Serif 18 bold",
                                               "Ms Sans Serif 12", "Ms Sans Serif 4"};
    EXPECT_EQ(fonts, expected);
    EXPECT_EQ(doc.OfType("Font")[0]->Attr("default"), "true");
}

// The panel and the row are built into the player window's own manager: a
// Window element with attributes there would resize or re-caption the player.
TEST_F(SkinPackageTest, MarkupBuiltIntoThePlayerWindowCarriesNoWindowSettings) {
    for (const char* file : {"WndSubScoreList.xml", "UIItemScoreList.xml"}) {
        const MarkupDoc& doc = markup_[file];
        ASSERT_FALSE(doc.elements.empty()) << file;
        EXPECT_TRUE(doc.elements[0].attrs.empty()) << file;
        EXPECT_TRUE(doc.OfType("Font").empty()) << file << " would add fonts to the player window";
    }
}

TEST_F(SkinPackageTest, LibraryPanelAndRowHoldTheirControls) {
    const MarkupDoc& panel = markup_["WndSubScoreList.xml"];
    ExpectControls(panel,
                   {{"ID_EDIT_SEARCH", "RichEdit"}, {"ID_BTN_SEARCH", "Button"}, {"ID_SCORE_LIST_TITLE", "Label"},
                    {"ID_BTN_EXPAND_SCORE_LIST", "Button"}, {"ID_BTN_SHRINK_SCORE_LIST", "Button"},
                    {"ID_BTN_SCORE_LIST_SHOW", "Option"}, {"ID_BTN_SCORE_ICON_SHOW", "Option"},
                    {"ID_SCORE_LIST_SHOW", "ScoreList"}, {"ID_SCORE_ICON_SHOW", "ScoreList"},
                    {"ID_BTN_SCORE_LIST_DEL", "Button"}, {"ID_BTN_SCORE_LIST_ADD_DIR", "Button"},
                    {"ID_BTN_SCORE_LIST_ADD", "Button"}},
                   "WndSubScoreList.xml");
    if (HasFatalFailure()) return;
    EXPECT_EQ(panel.elements[1].Attr("width"), "205");
    EXPECT_EQ(panel.Named("ID_EDIT_SEARCH")->Attr("width"), "155");
    EXPECT_EQ(panel.Named("ID_EDIT_SEARCH")->Attr("multiline"), "false");
    EXPECT_EQ(panel.Named("ID_BTN_SEARCH")->Attr("text"), "{i PNG_BTN_SEARCH.png}{/i}");
    EXPECT_EQ(panel.Named("ID_SCORE_LIST_SHOW")->Attr("itemselectedbkcolor"), "#FFE8F6DC");
    EXPECT_EQ(panel.Named("ID_BTN_SHRINK_SCORE_LIST")->Attr("visible"), "false");
    EXPECT_EQ(panel.Named("ID_BTN_SCORE_ICON_SHOW")->Attr("visible"), "false");
    EXPECT_EQ(panel.Named("ID_SCORE_ICON_SHOW")->Attr("visible"), "false");

    const MarkupDoc& row = markup_["UIItemScoreList.xml"];
    ExpectControls(row,
                   {{"ID_LOGO_CONTAINER", "VerticalLayout"}, {"ID_LABEL_SCORE_PAGE_ICON", "Label"},
                    {"ID_TEXT_SCORE_PAGE_ICON_TITLE", "Text"}, {"ID_BTN_EDIT_SCORE", "Button"}},
                   "UIItemScoreList.xml");
    if (HasFatalFailure()) return;
    ASSERT_GE(row.elements.size(), 2u);
    EXPECT_EQ(row.elements[1].name, "ListContainerElementEx");
    EXPECT_EQ(row.elements[1].Attr("menu"), "true");
    EXPECT_EQ(row.Named("ID_LABEL_SCORE_PAGE_ICON")->Attr("mouse"), "false");
    EXPECT_EQ(row.Named("ID_TEXT_SCORE_PAGE_ICON_TITLE")->Attr("mouse"), "false");
    EXPECT_EQ(row.Named("ID_BTN_EDIT_SCORE")->Attr("visible"), "false");
}

std::wstring Wide(const std::string& utf8) {
    std::wstring w(utf8.size(), L'\0');
    w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0],
                                 static_cast<int>(w.size())));
    return w;
}

TEST_F(SkinPackageTest, NameDialogHoldsItsControlsAndChineseTexts) {
    const MarkupDoc& doc = markup_["WndModifyScoreDir.xml"];
    ExpectControls(doc,
                   {{"ID_WND_SETTINGS", "VerticalLayout"}, {"ID_BTN_SETTINGS_LOGO", "Button"},
                    {"ID_LABEL_SETTINGS_CREATE_SCORE_DIR", "Label"}, {"ID_LABEL_SETTINGS_EDIT_SCORE_DIR", "Label"},
                    {"ID_LABEL_SETTINGS_EDIT_SCORE_NAME", "Label"}, {"ID_BTN_MODIFYSCOREDIR_CLOSE", "Button"},
                    {"ID_LAYOUT_SETTINGS_GENERAL", "VerticalLayout"}, {"ID_LABEL_SCORE_DIR_TITLE", "Label"},
                    {"ID_LABEL_SCORE_NAME_TITLE", "Label"}, {"ID_EDIT_SCORE_DIR_NAME", "RichEdit"},
                    {"ID_BTN_MODIFYSCOREDIR_OK", "Button"}, {"ID_BTN_MODIFYSCOREDIR_CANCEL", "Button"}},
                   "WndModifyScoreDir.xml");
    if (HasFatalFailure()) return;
    const MarkupElement& window = doc.elements[0];
    EXPECT_EQ(window.Attr("size"), "300,150");
    EXPECT_EQ(window.Attr("mininfo"), "300,150");
    EXPECT_EQ(window.Attr("maxinfo"), "300,150");
    EXPECT_EQ(window.Attr("caption"), "0,0,0,30");
    EXPECT_EQ(Wide(doc.Named("ID_LABEL_SETTINGS_CREATE_SCORE_DIR")->Attr("text")),
              L"\x6dfb\x52a0\x66f2\x8c31\x76ee\x5f55");  // add score folder
    EXPECT_EQ(Wide(doc.Named("ID_BTN_MODIFYSCOREDIR_OK")->Attr("text")), L"\x786e\x5b9a");
    EXPECT_EQ(Wide(doc.Named("ID_BTN_MODIFYSCOREDIR_CANCEL")->Attr("text")), L"\x53d6\x6d88");
    EXPECT_EQ(Wide(doc.Named("ID_LABEL_SCORE_DIR_TITLE")->Attr("text")),
              L"\x66f2\x8c31\x76ee\x5f55\x540d(\x6700\x591a" L"60\x4e2a\x5b57)\xff1a");
    EXPECT_EQ(doc.Named("ID_EDIT_SCORE_DIR_NAME")->Attr("maxchar"), "60");
    EXPECT_EQ(doc.Named("ID_LABEL_SETTINGS_EDIT_SCORE_DIR")->Attr("visible"), "false");
    EXPECT_EQ(doc.Named("ID_LABEL_SETTINGS_EDIT_SCORE_NAME")->Attr("visible"), "false");
}

// Menus: the items the library panel acts on, 20 pixels high and 90 wide,
// and the shared default list of the menu body.
TEST_F(SkinPackageTest, MenusOfferTheLibraryCommands) {
    struct MenuFile {
        const char* file;
        std::vector<std::string> items;
    };
    const MenuFile menus[] = {
        {"UIMenuScoreDir.xml", {"ID_MENU_SCORE_ADD", "ID_MENU_SCORE_DIR_EDIT", "ID_MENU_SCORE_DIR_DEL"}},
        {"UIMenuScoreItem.xml", {"ID_MENU_SCORE_ITEM_EDIT", "ID_MENU_SCORE_ITEM_DEL"}}};
    for (const MenuFile& m : menus) {
        const MarkupDoc& doc = markup_[m.file];
        EXPECT_TRUE(doc.error.empty()) << m.file << ": " << doc.error;
        std::vector<const MarkupElement*> bodies = doc.OfType("Menu");
        ASSERT_EQ(bodies.size(), 1u) << m.file;
        EXPECT_EQ(bodies[0]->Attr("inset"), "2,12,2,12");
        std::vector<std::string> names;
        for (const MarkupElement* item : doc.ChildrenOf(bodies[0])) {
            EXPECT_EQ(item->name, "MenuElement");
            EXPECT_EQ(item->Attr("width"), "90");
            EXPECT_FALSE(item->Attr("text").empty());
            names.push_back(item->Attr("name"));
        }
        EXPECT_EQ(names, m.items) << m.file;
        std::vector<const MarkupElement*> defaults = doc.OfType("Default");
        ASSERT_EQ(defaults.size(), 1u) << m.file;
        EXPECT_EQ(defaults[0]->Attr("name"), "Menu");
        EXPECT_EQ(defaults[0]->Attr("value"),
                  "inset=\"2,2,2,2\" itemtextpadding=\"15,0,15,0\" "
                  "bkimage=\"file='PNG_BK_MENU.png' corner='15,12,15,12'\" hole=\"false\"");
    }
}

}  // namespace
}  // namespace skin_test
