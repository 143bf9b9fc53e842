// Language file selection and lookup, on real INI files in a temporary
// plug-in folder. The test executable carries the embedded English default
// as its own resource 101, as the plug-in does.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "frame/lang_format.h"
#include "frame/lang_table.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class LanguageFolder : public ::testing::Test {
protected:
    std::wstring Lang() const { return dir.Path() + L"Language\\"; }
    void Write(const std::wstring& name, const std::string& text) {
        CreateDirectoryW(Lang().c_str(), nullptr);
        WriteFileBytes(Lang() + name, text);
    }
    static std::string Ini(int id, const std::string& strings) {
        return "[General Settings]\r\nID=" + std::to_string(id) + "\r\n[String]\r\n" + strings;
    }
    // The name the folder enumeration returns first among the given ones.
    std::wstring FirstEnumerated() const {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((Lang() + L"*.*").c_str(), &fd);
        std::wstring first;
        if (h == INVALID_HANDLE_VALUE) return first;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                first = fd.cFileName;
                break;
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        return first;
    }
    TempDir dir;
};

std::string EmbeddedDefault() {
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(101), L"OWNER_DATA");
    if (!res) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, res)));
    return std::string(data, SizeofResource(nullptr, res));
}

}  // namespace

TEST_F(LanguageFolder, UnknownNumberWritesTheEnglishDefaultByteForByte) {
    std::wstring chosen = SelectLanguageFile(dir.Path(), 1041);
    EXPECT_EQ(chosen, Lang() + L"English.ini");
    EXPECT_EQ(CurrentLanguageNumber(), 1033);
    std::string written = ReadFileBytes(chosen);
    EXPECT_FALSE(EmbeddedDefault().empty());
    EXPECT_EQ(written, EmbeddedDefault());
    EXPECT_EQ(GetLangText(L"ID_BTN_SCORE_START"), L"Start");
    EXPECT_EQ(GetLangText(L"ID_WND_MELVANE_TITLE"), L"Melvane");
    EXPECT_EQ(GetLangText(L"ID_NOT_THERE"), L"");
}

TEST_F(LanguageFolder, EmbeddedDefaultKeepsItsFixedEntries) {
    SelectLanguageFile(dir.Path(), 1033);
    const wchar_t* fixed[][2] = {
        {L"ID_BTN_OPEN_FILE", L"Open"},           {L"ID_BTN_ZOOM_IN", L"Zoom In"},
        {L"ID_BTN_ZOOM_OUT", L"Zoom Out"},        {L"ID_BTN_ZOOM_WIDTH", L"Zoom Width"},
        {L"ID_BTN_PAGE_PREV", L"Prev"},           {L"ID_BTN_PAGE_NEXT", L"Next"},
        {L"ID_BTN_TEMPO_ADD", L"Speed Play"},     {L"ID_BTN_TEMPO_DIS", L"Speed Ratio"},
        {L"ID_BTN_TEMPO_PLUS", L"Slow Play"},     {L"ID_BTN_SCORE_START", L"Start"},
        {L"ID_BTN_SCORE_PAUSE", L"Pause"},        {L"ID_EDIT_SEARCH", L"Search music scores"},
        {L"ID_SCORE_LIST_TITLE", L"Score List"},  {L"ID_BTN_EXPAND_SCORE_LIST", L"Expand"},
        {L"ID_BTN_SHRINK_SCORE_LIST", L"Shrink"}, {L"ID_BTN_SCORE_LIST_SHOW", L"Show List"},
        {L"ID_BTN_SCORE_ICON_SHOW", L"Show Icon"}, {L"ID_BTN_SCORE_LIST_DEL", L"Delete Music"},
        {L"ID_BTN_SCORE_LIST_ADD", L"Add Music"}, {L"ID_BTN_HIDE_SCORE_PANEL", L"Hide Score Panel"},
        {L"ID_BTN_SHOW_SCORE_PANEL", L"Show Score Panel"}, {L"ID_BTN_EDIT_SCORE", L"Edit"},
    };
    for (auto& e : fixed) EXPECT_EQ(GetLangText(e[0]), e[1]) << e[0];
    // Every text the code asks for directly exists in English.
    for (const wchar_t* id : {L"ID_WND_WAITING_TIP", L"ID_TEXT_ITEM_TITLE", L"ID_BTN_VERSION", L"ID_MSG_TIP_UPDATE",
                              L"ID_MSG_ERR_LOAD_FILE", L"ID_MSG_ERR_NO_ZYQN_FILE", L"ID_MSG_ERR_FILE_EXIST",
                              L"ID_MSG_SURE_DEL_SCORE", L"ID_MSG_SURE_DEL_SCORE_DIR", L"ID_MSG_TIP_SCORE_DIR_EXIST",
                              L"ID_MSG_TIP_SCORE_DIR_NAME_EMPTY", L"ID_MSG_TIP_SCORE_ENSURE_SEL_DIR",
                              L"ID_MSG_TIP_SCORE_NOT_LISTED", L"ID_MSG_ERR_SCORE_COPY", L"ID_MSG_TIP_NAME_REFUSED",
                              L"ID_MSG_ERR_CREATE_FOLDER", L"ID_MSG_ERR_RENAME",
                              L"ID_MENU_SCORE_ADD", L"ID_MENU_SCORE_DIR_EDIT", L"ID_MENU_SCORE_DIR_DEL",
                              L"ID_MENU_SCORE_ITEM_EDIT", L"ID_MENU_SCORE_ITEM_DEL"})
        EXPECT_FALSE(GetLangText(id).empty()) << id;
}

TEST_F(LanguageFolder, MatchingFileIsChosenAndAnExistingEnglishFileIsLeftAlone) {
    Write(L"English.ini", Ini(1033, "ID_BTN_SCORE_START=Go\r\n"));
    Write(L"Japanese.ini", Ini(1041, "ID_BTN_SCORE_START=\xE9\x96\x8B\xE5\xA7\x8B\r\n"));
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 1041), Lang() + L"Japanese.ini");
    EXPECT_EQ(CurrentLanguageNumber(), 1041);
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 2052), Lang() + L"English.ini");
    EXPECT_EQ(CurrentLanguageNumber(), 1033);
    EXPECT_EQ(GetLangText(L"ID_BTN_SCORE_START"), L"Go");  // not overwritten by the default
}

// An English file from an earlier version, or a translation that lags
// behind, lacks the texts added since: those come from the embedded default,
// while a text the file holds, even an empty one, is the file's.
TEST_F(LanguageFolder, TextsAFileLacksComeFromTheEmbeddedDefault) {
    const std::string oldEnglish = Ini(1033, "ID_BTN_SCORE_START=Go\r\nID_BTN_SCORE_PAUSE=\r\n");
    Write(L"English.ini", oldEnglish);
    Write(L"Japanese.ini", Ini(1041, "ID_BTN_SCORE_START=x\r\n"));
    struct Case {
        int language;
        const wchar_t* id;
        const wchar_t* text;
    } cases[] = {
        {1033, L"ID_BTN_SCORE_START", L"Go"},
        {1033, L"ID_BTN_SCORE_PAUSE", L""},
        {1033, L"ID_BTN_SCORE_STOP", L"Stop"},
        {1041, L"ID_BTN_SCORE_STOP", L"Stop"},
        {1041, L"ID_NOT_THERE", L""},
    };
    for (const Case& c : cases) {
        SelectLanguageFile(dir.Path(), c.language);
        EXPECT_EQ(GetLangText(c.id), c.text) << c.language;
    }
    EXPECT_EQ(ReadFileBytes(Lang() + L"English.ini"), oldEnglish) << "the file itself is left as it is";
}

TEST_F(LanguageFolder, TwoFilesWithOneNumberTheFirstEnumeratedWins) {
    Write(L"a.ini", Ini(3082, "X=a\r\n"));
    Write(L"b.ini", Ini(3082, "X=b\r\n"));
    std::wstring first = FirstEnumerated();
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 3082), Lang() + first);
}

TEST_F(LanguageFolder, MinusOneSelectsAFileWithoutId) {
    Write(L"English.ini", Ini(1033, ""));
    Write(L"NoId.ini", "[General Settings]\r\nLanguage=Nothing\r\n[String]\r\nX=none\r\n");
    EXPECT_EQ(SelectLanguageFile(dir.Path(), -1), Lang() + L"NoId.ini");
    EXPECT_EQ(CurrentLanguageNumber(), -1);
    EXPECT_EQ(GetLangText(L"X"), L"none");
}

TEST_F(LanguageFolder, LineBreaksAndTheLengthLimit) {
    std::string longValue(2000, 'w');
    Write(L"Test.ini", Ini(7, "TWO=first\\nsecond\r\nEND=a\\\r\nLONG=" + longValue + "\r\nEDGE=\\n\\nx\\n\r\n"));
    SelectLanguageFile(dir.Path(), 7);
    EXPECT_EQ(GetLangText(L"TWO"), L"first\nsecond");
    EXPECT_EQ(GetLangText(L"END"), L"a\\");
    EXPECT_EQ(GetLangText(L"LONG"), std::wstring(1023, L'w'));
    EXPECT_EQ(GetLangText(L"EDGE"), L"\n\nx\n");
}

TEST_F(LanguageFolder, Utf16FileWithByteOrderMarkIsRead) {
    std::wstring text = L"[General Settings]\r\nID=2052\r\n[String]\r\nID_BTN_SCORE_START=\u5F00\u59CB\r\n";
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    Write(L"Chinese.ini", bytes);
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 2052), Lang() + L"Chinese.ini");
    EXPECT_EQ(GetLangText(L"ID_BTN_SCORE_START"), L"\u5F00\u59CB");
}

TEST_F(LanguageFolder, BrokenFilesFallBackToEnglish) {
    Write(L"empty.ini", "");
    Write(L"binary.ini", std::string("\x00\x01\x02\xFF\xFE\x00[General", 13));
    std::wstring noBom = L"[General Settings]\r\nID=1046\r\n";
    Write(L"utf16nobom.ini", std::string(reinterpret_cast<const char*>(noBom.data()), noBom.size() * 2));
    Write(L"nosection.ini", "[String]\r\nID=1046\r\n");
    SelectLanguageFile(dir.Path(), 1046);
    // Whatever the profile reader makes of the broken files, it never takes a
    // file that does not declare 1046 in its settings section.
    EXPECT_NE(CurrentLanguageFile(), Lang() + L"nosection.ini");
    EXPECT_NE(CurrentLanguageFile(), Lang() + L"empty.ini");
    EXPECT_NE(CurrentLanguageFile(), Lang() + L"binary.ini");
}

TEST_F(LanguageFolder, LanguagePathThatIsAFileYieldsEmptyTexts) {
    WriteFileBytes(dir.Path() + L"Language", "not a folder");
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 1041), Lang() + L"English.ini");
    EXPECT_EQ(CurrentLanguageNumber(), 1033);
    EXPECT_EQ(GetLangText(L"ID_BTN_SCORE_START"), L"");
    EXPECT_EQ(ReadFileBytes(dir.Path() + L"Language"), "not a folder");
}

TEST(LanguageThroughThePlugin, StartWritesEnglishIntoThePluginFolder) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start(1041));
    EXPECT_EQ(ReadFileBytes(box.Folder() + L"Language\\English.ini"), EmbeddedDefault());
    wchar_t title[32] = {};
    GetWindowTextW(box.PlayerWindow(), title, 32);
    EXPECT_STREQ(title, L"Melvane");
}

namespace {

// The text ids of a language file in their order, and each one's text as
// written, read from its "String" section line by line.
std::vector<std::pair<std::wstring, std::wstring>> StringEntries(const std::wstring& text) {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    bool inStrings = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        std::wstring line = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line[0] == L'[') inStrings = line == L"[String]";
        size_t eq = line.find(L'=');
        if (inStrings && eq != std::wstring::npos && line[0] != L';')
            entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return entries;
}

// The printf conversions of a text in order ("%s", "%d", "%%" ...).
std::vector<std::wstring> Conversions(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (size_t i = text.find(L'%'); i != std::wstring::npos; i = text.find(L'%', i)) {
        size_t j = i + 1;
        while (j < text.size() && wcschr(L"-+ #0123456789.lh", text[j])) ++j;
        found.push_back(text.substr(i, j + 1 - i));
        i = j + 1;
    }
    return found;
}

std::wstring FromUtf16File(const std::string& bytes) {
    if (bytes.size() < 2) return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

}  // namespace

TEST(ShippedLanguageFiles, EachIsChosenByItsNumberAndHasEveryEnglishTextWithTheSameConversions) {
    const auto& shipped = kShippedLanguages;
    std::string english = EmbeddedDefault();
    const auto englishEntries = StringEntries(std::wstring(english.begin(), english.end()));
    EXPECT_GT(englishEntries.size(), 60u);

    // A plug-in folder as installed: the shipped files beside the DLL.
    TempDir dir;
    CreateDirectoryW((dir / L"Language").c_str(), nullptr);
    for (const auto& lang : shipped) CopyFromBin(std::wstring(L"Language\\") + lang.file, dir.Path());
    for (const auto& lang : shipped) {
        const std::wstring path = dir / L"Language\\" + lang.file;
        const std::string before = ReadFileBytes(path);
        EXPECT_EQ(before.substr(0, 2), "\xFF\xFE") << lang.number << ": UTF-16 with its mark";

        EXPECT_EQ(SelectLanguageFile(dir.Path(), lang.number), path);
        EXPECT_EQ(CurrentLanguageNumber(), lang.number);
        // The same ids in the same order as English, so that a new id is
        // added at the same place in every file.
        const auto entries = StringEntries(FromUtf16File(before));
        ASSERT_EQ(entries.size(), englishEntries.size()) << lang.number;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::wstring& id = englishEntries[i].first;
            EXPECT_EQ(entries[i].first, id) << lang.number << " entry " << i;
            const std::wstring text = GetLangText(id);
            EXPECT_FALSE(text.empty()) << lang.number << " " << std::string(id.begin(), id.end());
            EXPECT_EQ(Conversions(text), Conversions(englishEntries[i].second))
                << lang.number << " " << std::string(id.begin(), id.end());
            // Only the product's name and Japanese "OK" read as in English.
            if (id != L"ID_WND_MELVANE_TITLE" && id != L"ID_BTN_MODIFYSCOREDIR_OK") {
                EXPECT_NE(text, englishEntries[i].second)
                    << lang.number << " " << std::string(id.begin(), id.end()) << " left in English";
            }
        }
        // English is written beside them on demand; no shipped file is touched.
        SelectLanguageFile(dir.Path(), 1033);
        SelectLanguageFile(dir.Path(), 3082);
        EXPECT_EQ(ReadFileBytes(path), before) << lang.number;
    }
    EXPECT_EQ(ReadFileBytes(dir / L"Language\\English.ini"), english);
}

// Texts come from files anyone can edit: only the expected directive takes
// the value, "%%" is a percent sign, and everything else shows as written.
TEST(LanguageFormat, OnlyTheExpectedDirectiveIsFilled) {
    const struct {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* expected;
    } names[] = {
        {L"\"%s\" exists", L"Moon.zyqn", L"\"Moon.zyqn\" exists"},
        {L"100%% %s %s %d", L"Moon", L"100% Moon %s %d"},
        {L"no name here %", L"Moon", L"no name here %"},
        {L"%s", L"a%sb", L"a%sb"},
        {L"Version %s (%s)", L"1.0.0.0", L"Version 1.0.0.0 (%s)"},
        {L"%n%n%n %s", L"1.0", L"%n%n%n 1.0"},
        {L"%ls %S %*s %.99999s %s", L"x", L"%ls %S %*s %.99999s x"},
        {L"%d%x%p", L"x", L"%d%x%p"},
        {L"", L"x", L""},
    };
    for (const auto& c : names) EXPECT_EQ(FormatLangText(c.text, c.name), c.expected) << c.text;

    const struct {
        const wchar_t* text;
        int page;
        const wchar_t* expected;
    } pages[] = {
        {L"Page %d", 3, L"Page 3"},
        {L"%s %d %d %n", -12, L"%s -12 %d %n"},
        {L"%%d %d", 7, L"%d 7"},
        {L"Seite", 2, L"Seite"},
    };
    for (const auto& c : pages) EXPECT_EQ(FormatLangText(c.text, c.page), c.expected) << c.text;
}
