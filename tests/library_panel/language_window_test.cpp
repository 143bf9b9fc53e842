// The shipped translations as a host meets them: the real plug-in asked for
// each language number relabels its window, and every text of the player
// window and of the name dialog shows whole at the default sizes, measured
// in the control's own font. Screenshots of each language land in
// build/screenshots/.
#include <gtest/gtest.h>

#include <string>

#include "tests/library_panel/panel_rig.h"

using namespace testing_support;

namespace {

struct Shipped {
    int number;
    const wchar_t* file;
};
const Shipped kShipped[] = {{2052, L"SimplifiedChinese.ini"}, {1028, L"TraditionalChinese.ini"}, {1041, L"Japanese.ini"}};

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
    ASSERT_TRUE(p.found) << where;
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

}  // namespace

TEST(ShippedLanguages, EachNumberRelabelsThePlayerAndEveryTextShowsWhole) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.ShipLanguages();
    ASSERT_TRUE(rig.Start(1033));
    for (const Shipped& lang : kShipped) {
        rig.ChangeLanguage(lang.number);
        ASSERT_TRUE(PumpUntil([&] { return rig.Probe(L"ID_SCORE_LIST_TITLE").text == ShippedText(lang, L"ID_SCORE_LIST_TITLE"); }))
            << Narrow(lang.file);
        for (const wchar_t* name : kPlayerLabels) ExpectWholeText(rig.Player(), lang, name);
        // The title and the version line are built by the window from the
        // file's texts; they show whole too.
        wchar_t caption[256] = {};
        GetWindowTextW(rig.Player(), caption, 256);
        EXPECT_EQ(std::wstring(caption).rfind(ShippedText(lang, L"ID_WND_MELVANE_TITLE"), 0), 0u) << Narrow(lang.file);
        EXPECT_NE(rig.Title().find(L"Moon"), std::wstring::npos);
        ExpectWholeText(rig.Player(), lang, L"ID_WND_MELVANE_TITLE", false);
        std::wstring version = ShippedText(lang, L"ID_BTN_VERSION");
        EXPECT_EQ(std::wstring(rig.Probe(L"ID_LABEL_VERSION").text).rfind(version.substr(0, version.find(L"%s")), 0), 0u)
            << Narrow(lang.file);
        ExpectWholeText(rig.Player(), lang, L"ID_LABEL_VERSION", false);
        EXPECT_EQ(rig.SearchText(), ShippedText(lang, L"ID_EDIT_SEARCH")) << Narrow(lang.file);
        rig.Shot((L"language-" + std::to_wstring(lang.number) + L"-player.png").c_str());
    }
    rig.ChangeLanguage(1033);
    EXPECT_TRUE(PumpUntil([&] { return rig.Probe(L"ID_SCORE_LIST_TITLE").text == std::wstring(L"Score List"); }));
    EXPECT_EQ(rig.SearchText(), L"Search music scores");
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
    for (const Shipped& lang : kShipped) {
        rig.ChangeLanguage(lang.number);
        for (const Mode& mode : modes) {
            if (mode.row < 0) {
                rig.ClickPanelButton(L"folder");
            } else {
                ASSERT_TRUE(rig.ChooseFromMenu(mode.row, mode.item)) << mode.what;
            }
            HWND dialog = rig.WaitForDialog();
            ASSERT_TRUE(dialog) << mode.what << " in " << Narrow(lang.file);
            PumpFor(150);
            for (const wchar_t* name : {mode.title, mode.field, L"ID_BTN_MODIFYSCOREDIR_OK", L"ID_BTN_MODIFYSCOREDIR_CANCEL"}) {
                EXPECT_TRUE(PanelRig::ProbeOf(dialog, name).visible) << Narrow(name) << " " << mode.what;
                ExpectWholeText(dialog, lang, name);
            }
            if (mode.row < 0) SaveWindowShot(dialog, L"language-" + std::to_wstring(lang.number) + L"-name-dialog.png");
            rig.DialogCancel(dialog);
            ASSERT_TRUE(rig.WaitGone(dialog)) << mode.what;
        }
    }
}
