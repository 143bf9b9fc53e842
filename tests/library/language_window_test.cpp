// The shipped translations as a host meets them: the real plug-in asked for
// each language number relabels its window, and every text of the player
// window and of the name dialog shows whole at the default sizes, measured
// in the control's own font. Screenshots of each language land in
// build/screenshots/.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/library/panel_rig.h"
#include "tests/support/screen_pixels.h"

using namespace testing_support;

namespace {

using Shipped = ShippedLanguage;

// Read straight from the shipped file, independently of the plug-in.
std::wstring ShippedText(const Shipped& lang, const wchar_t* id) {
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(L"String", id, L"", buffer, 1024, (BinFolder() + L"Language\\" + lang.file).c_str());
    return buffer;
}

std::string Narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// The control shows the file's text for its own name, and all of it.
void ExpectWholeText(HWND window, const Shipped& lang, const wchar_t* name, bool textIsTheId = true) {
    const std::string where = Narrow(name) + " in " + Narrow(lang.file);
    PlayerProbe p = PanelRig::ProbeOf(window, name);
    EXPECT_TRUE(p.found) << where;
    if (textIsTheId) {
        EXPECT_EQ(std::wstring(p.text), ShippedText(lang, name)) << where;
    }
    EXPECT_GT(p.textSize.cx, 0) << where;
    EXPECT_LE(p.textSize.cx, p.textRect.right - p.textRect.left) << where << ": the text is cut";
    EXPECT_LE(p.textSize.cy, p.textRect.bottom - p.textRect.top) << where << ": the text is cut";
}

// Labels of the player window whose texts come from the language file.
const wchar_t* const kPlayerLabels[] = {L"ID_SCORE_LIST_TITLE",        L"ID_LABEL_SCORE_KEY_TITLE",
                                        L"ID_LABEL_SCORE_METER_TITLE", L"ID_LABEL_SCORE_TEMPO_TITLE",
                                        L"ID_LABEL_SCORE_MEASURE_TITLE", L"ID_LABEL_SCORE_TIME_TITLE"};

// Language changes may reach the window after the call returns: wait until
// the list title speaks the language.
bool WaitForLanguage(const PanelRig& rig, const Shipped& lang) {
    const std::wstring title = ShippedText(lang, L"ID_SCORE_LIST_TITLE");
    return PumpUntil([&] { return rig.Probe(L"ID_SCORE_LIST_TITLE").text == title; });
}

// Ink of a text on a plain background: pixels clearly darker than the
// background colour, as a mask of the area, row by row.
std::vector<bool> InkOf(const std::vector<DWORD>& pixels, DWORD background) {
    auto sum = [](DWORD p) { return static_cast<int>((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)); };
    std::vector<bool> ink(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) ink[i] = sum(background) - sum(pixels[i]) > 90;
    return ink;
}

}  // namespace

TEST(ShippedLanguages, ChineseAndJapaneseGlyphsDrawWhereTheTextIsMeasured) {
    // The list title, dark text on its row's colour, in full-width characters
    // only: each character takes the same share of the measured width. A
    // font without these glyphs draws the same empty box for every one, or
    // nothing; a linked font draws distinct glyphs over the measured width.
    // Each language is the host's choice at start: the learner's first look.
    const DWORD kTitleRow = 0xECE6D9;
    for (const Shipped& lang : kShippedLanguages) {
        PanelRig rig;
        rig.PutScore(L"Pop\\Moon.zyqn");
        rig.ShipLanguages();
        ASSERT_TRUE(rig.Start(lang.number));
        const std::wstring text = ShippedText(lang, L"ID_SCORE_LIST_TITLE");
        EXPECT_TRUE(WaitForLanguage(rig, lang)) << Narrow(lang.file);
        PumpFor(200);  // painted
        rig.Shot((L"language-" + std::to_wstring(lang.number) + L"-first-look.png").c_str());
        PlayerProbe p = rig.Probe(L"ID_SCORE_LIST_TITLE");
        const int width = p.textRect.right - p.textRect.left, height = p.textRect.bottom - p.textRect.top;
        EXPECT_GT(p.textSize.cx, 0);
        std::vector<bool> ink = InkOf(ScreenPixels(rig.Player(), p.textRect), kTitleRow);
        ASSERT_EQ(ink.size(), static_cast<size_t>(width) * height);
        int first = width, last = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (ink[y * width + x]) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        EXPECT_GE(last, first) << Narrow(lang.file) << ": no ink";
        const int inked = last - first + 1;
        EXPECT_GE(inked, p.textSize.cx * 3 / 4) << Narrow(lang.file);
        EXPECT_LE(inked, p.textSize.cx + 2) << Narrow(lang.file);
        // Every character cell holds ink, and no two cells look alike.
        const int cells = static_cast<int>(text.size()), cell = p.textSize.cx / cells;
        std::vector<std::vector<bool>> masks(cells);
        for (int c = 0; c < cells; ++c) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < cell; ++x) masks[c].push_back(ink[y * width + c * cell + x]);
            EXPECT_GT(std::count(masks[c].begin(), masks[c].end(), true), 8) << Narrow(lang.file) << " cell " << c;
        }
        for (int a = 0; a < cells; ++a)
            for (int b = a + 1; b < cells; ++b) {
                int differ = 0;
                for (size_t i = 0; i < masks[a].size(); ++i) differ += masks[a][i] != masks[b][i];
                EXPECT_GT(differ, 10) << Narrow(lang.file) << " cells " << a << " and " << b << " look alike";
            }
    }
}

TEST(ShippedLanguages, EachNumberRelabelsThePlayerAndEveryTextShowsWhole) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.ShipLanguages();
    ASSERT_TRUE(rig.Start(1033));
    for (const Shipped& lang : kShippedLanguages) {
        rig.ChangeLanguage(lang.number);
        EXPECT_TRUE(WaitForLanguage(rig, lang)) << Narrow(lang.file);
        for (const wchar_t* name : kPlayerLabels) ExpectWholeText(rig.Player(), lang, name);
        // The title and the version line are built by the window from the
        // file's texts; they show whole too.
        wchar_t caption[256] = {};
        GetWindowTextW(rig.Player(), caption, 256);
        EXPECT_EQ(std::wstring(caption).rfind(ShippedText(lang, L"ID_WND_MELVANE_TITLE"), 0), 0u) << Narrow(lang.file);
        EXPECT_NE(rig.Title().find(L"Moon"), std::wstring::npos);
        ExpectWholeText(rig.Player(), lang, L"ID_WND_MELVANE_TITLE", false);
        const std::wstring version = ShippedText(lang, L"ID_BTN_VERSION");
        const std::wstring shownVersion = rig.Probe(L"ID_LABEL_VERSION").text;
        EXPECT_EQ(shownVersion.rfind(version.substr(0, version.find(L"%s")), 0), 0u) << Narrow(lang.file);
        ExpectWholeText(rig.Player(), lang, L"ID_LABEL_VERSION", false);
        EXPECT_EQ(rig.SearchText(), ShippedText(lang, L"ID_EDIT_SEARCH")) << Narrow(lang.file);
        // The zoom box, fitting the page to the width, names that in words.
        const PlayerProbe zoom = rig.Probe(L"ID_COMBO_ZOOM");
        EXPECT_EQ(zoom.value, 10);
        EXPECT_EQ(std::wstring(zoom.text), ShippedText(lang, L"ID_TEXT_ZOOM_AUTO"));
        // The home page link keeps its underline around the new words.
        EXPECT_EQ(std::wstring(rig.Probe(L"ID_BTN_LINK_HOME").text),
                  L"{u}" + ShippedText(lang, L"ID_BTN_LINK_HOME") + L"{/u}");
        ExpectWholeText(rig.Player(), lang, L"ID_BTN_LINK_HOME", false);
        // Moon's page row, added while the window spoke English, follows too.
        std::wstring page = ShippedText(lang, L"ID_TEXT_ITEM_TITLE");
        page.replace(page.find(L"%d"), 2, L"1");
        const std::wstring row2 = rig.Probe(L"#ROW:2").text;
        EXPECT_EQ(row2.substr(row2.size() - std::min(row2.size(), page.size())), page) << Narrow(lang.file);
        rig.Shot((L"language-" + std::to_wstring(lang.number) + L"-player.png").c_str());
    }
    rig.ChangeLanguage(1033);
    EXPECT_TRUE(PumpUntil([&] { return rig.Probe(L"ID_SCORE_LIST_TITLE").text == std::wstring(L"Score List"); }));
    EXPECT_EQ(rig.SearchText(), L"Search music scores");
    EXPECT_EQ(std::wstring(rig.Probe(L"ID_BTN_LINK_HOME").text), L"{u}Melvane home page{/u}");
    EXPECT_EQ(std::wstring(rig.Probe(L"ID_COMBO_ZOOM").text), L"Auto");
    const std::wstring row2 = rig.Probe(L"#ROW:2").text;
    EXPECT_EQ(row2.substr(row2.size() - std::min<size_t>(row2.size(), 6)), L"Page 1");
}

TEST(ShippedLanguages, TheNameDialogShowsItsTextsWholeInEachMode) {
    // Rows of this library: 0 Pop, 1 Moon.
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.ShipLanguages();
    ASSERT_TRUE(rig.Start(1033));
    struct Mode {
        const char* what;
        int row, item;  // row < 0: the panel's new-folder button
        const wchar_t* title;
        const wchar_t* field;
    };
    const Mode modes[] = {
        {"new folder", -1, 0, L"ID_LABEL_SETTINGS_CREATE_SCORE_DIR", L"ID_LABEL_SCORE_DIR_TITLE"},
        {"rename folder", 0, kMenuRenameFolder, L"ID_LABEL_SETTINGS_EDIT_SCORE_DIR", L"ID_LABEL_SCORE_DIR_TITLE"},
        {"rename score", 1, kMenuRenameScore, L"ID_LABEL_SETTINGS_EDIT_SCORE_NAME", L"ID_LABEL_SCORE_NAME_TITLE"},
    };
    for (const Shipped& lang : kShippedLanguages) {
        rig.ChangeLanguage(lang.number);
        EXPECT_TRUE(WaitForLanguage(rig, lang)) << Narrow(lang.file);
        for (const Mode& mode : modes) {
            if (mode.row < 0) {
                rig.ClickPanelButton(L"folder");
            } else {
                EXPECT_TRUE(rig.ChooseFromMenu(mode.row, mode.item)) << mode.what;
            }
            HWND dialog = rig.WaitForDialog();
            ASSERT_TRUE(dialog) << mode.what << " in " << Narrow(lang.file);
            PumpFor(150);
            const wchar_t* const shown[] = {mode.title, mode.field, L"ID_BTN_MODIFYSCOREDIR_OK",
                                            L"ID_BTN_MODIFYSCOREDIR_CANCEL"};
            for (const wchar_t* name : shown) {
                EXPECT_TRUE(PanelRig::ProbeOf(dialog, name).visible) << Narrow(name) << " " << mode.what;
                ExpectWholeText(dialog, lang, name);
            }
            if (mode.row < 0) {
                SaveWindowShot(dialog, L"language-" + std::to_wstring(lang.number) + L"-name-dialog.png");
                // An empty name is refused in the language, under its caption.
                rig.DialogOk(dialog);
                HWND box = rig.WaitForMessageBox(dialog);
                ASSERT_TRUE(box) << Narrow(lang.file);
                EXPECT_EQ(PanelRig::MessageText(box), ShippedText(lang, L"ID_MSG_TIP_SCORE_DIR_NAME_EMPTY"));
                wchar_t caption[64] = {};
                GetWindowTextW(box, caption, 64);
                EXPECT_EQ(std::wstring(caption), ShippedText(lang, L"ID_WND_MELVANE_TITLE"));
                SaveWindowShot(box, L"language-" + std::to_wstring(lang.number) + L"-message.png");
                PanelRig::Answer(box, IDOK);
                ASSERT_TRUE(rig.WaitGone(box));
            }
            rig.DialogCancel(dialog);
            ASSERT_TRUE(rig.WaitGone(dialog)) << mode.what;
        }
        // The folder's context menu, for the eye.
        HWND menu = rig.OpenMenuOn(0);
        ASSERT_TRUE(menu);
        SaveWindowShot(menu, L"language-" + std::to_wstring(lang.number) + L"-folder-menu.png");
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(rig.WaitGone(menu));
    }
}
