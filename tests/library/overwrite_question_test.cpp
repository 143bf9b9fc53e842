// The real overwrite question: a message box worded from the language file,
// answered by a second thread the way a user would click it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "frame/lang_table.h"
#include "library/overwrite_question.h"
#include "tests/library/library_disk.h"

namespace {
struct SeenBox {
    std::wstring caption, text;
};

// Waits for the message box with this caption, records its words and presses
// the button given.
std::thread Answer(const std::wstring& caption, int button, SeenBox* seen) {
    return std::thread([=] {
        for (int i = 0; i < 500; ++i) {
            HWND box = FindWindowW(L"#32770", caption.c_str());
            if (box) {
                wchar_t text[512] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 512);
                seen->caption = caption;
                seen->text = text;
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
                return;
            }
            Sleep(20);
        }
    });
}

struct OverwriteQuestionTest : ::testing::Test {
    LibraryDisk disk;
    void SetUp() override {
        CreateDirectoryW((disk.PluginFolder() + L"Language").c_str(), nullptr);
        testing_support::WriteFileBytes(disk.PluginFolder() + L"Language\\Test.ini",
                                        "[General Settings]\r\nID=1033\r\n[String]\r\n"
                                        "ID_WND_MELVANE_TITLE=Melvane question test\r\n"
                                        "ID_MSG_ERR_FILE_EXIST=Replace \"%s\" (100%%)? %s %d\r\n");
        SelectLanguageFile(disk.PluginFolder(), 1033);
    }
};
}  // namespace

TEST_F(OverwriteQuestionTest, NoKeepsTheScoreAndYesReplacesIt) {
    const std::wstring dest = disk.Put(L"Pop\\Moon.zyqn", "old");
    testing_support::TempDir elsewhere;
    testing_support::WriteFileBytes(elsewhere / L"Moon.zyqn", "new");
    OverwriteQuestion ask = OverwriteMessageBox(nullptr);

    SeenBox seen;
    std::thread clicker = Answer(L"Melvane question test", IDNO, &seen);
    CopyOutcome no = disk.Library().CopyScoreIn(elsewhere / L"Moon.zyqn", L"Pop", ask);
    clicker.join();
    EXPECT_EQ(CopyResult::Skipped, no.result);
    EXPECT_EQ(L"Replace \"Moon.zyqn\" (100%)? %s %d", seen.text);
    EXPECT_EQ("old", testing_support::ReadFileBytes(dest));

    clicker = Answer(L"Melvane question test", IDYES, &seen);
    CopyOutcome yes = disk.Library().CopyScoreIn(elsewhere / L"Moon.zyqn", L"Pop", ask);
    clicker.join();
    EXPECT_EQ(CopyResult::Replaced, yes.result);
    EXPECT_EQ("new", testing_support::ReadFileBytes(dest));
}
