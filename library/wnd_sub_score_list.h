// The library panel beside the score view: folders and scores of the
// library, their commands, context menus and the score search box.
// Record i of records_ always describes row i of the list.
#pragma once
#include <string>
#include <vector>

#include "abi/score_engine.h"
#include "library/library_storage.h"
#include "library/score_player.h"
#include "scoreview/score_list_ui.h"
#include "uikit/core/layouts.h"
#include "uikit/core/ui_events.h"

namespace UiKit {
class CUIWindowManager;
class COptionUI;
struct UINotify;
}  // namespace UiKit
class CWndModifyScoreDir;

// One list row as the panel knows it. fileName is the score's own file name:
// a score called "xzyqn" has no extension to put back on its display name.
struct ScoreRowRecord {
    ScoreRowInfo info;
    std::wstring fileName;
};

// The panel listens to the window's notifications itself once its controls
// are looked up: clicks on its buttons and rows, its search box's focus and
// its rows' context menus.
class CWndSubScoreList : public UiKit::CVerticalLayoutUI, public UiKit::INotifyUI {
public:
    CWndSubScoreList(IScorePlayer* player, UiKit::CUIWindowManager* manager);
    ~CWndSubScoreList() override;
    const wchar_t* GetClassName() const override { return L"WndSubScoreListUI"; }
    void* FindInterface(const wchar_t* name) override;

    void SetEngine(IScore* score, ISelectAct* selectAct) {
        score_ = score;
        selectAct_ = selectAct;
    }
    void InitControls();
    void LoadScoreLibrary();

    void Notify(UiKit::UINotify& msg) override;
    // The chosen item of a row's context menu: the menu posts it to the
    // player window, which hands it on.
    bool OnMenuCommand(const std::wstring& name);
    void SelectPageRow(int page);
    void CollapseAllAndUnselect();

    void SearchScores();
    void RefreshSearchText();
    // Page rows are titled in the language of the moment they were added;
    // after a language change they take the new language's title.
    void RefreshPageTitles();
    void CloseNameDialog();

    bool FolderNameExists(const std::wstring& name) const;
    bool ScoreNameExists(const std::wstring& name) const;

    // Set when the user picks a page row; the player's next scroll to the
    // engine's rectangle consumes it.
    bool pageJumpPending = false;

private:
    // Notifications; false when not the panel's.
    bool OnScoreItemClick(UiKit::UINotify& msg);
    bool OnSearchSetFocus(UiKit::UINotify& msg);
    bool OnSearchKillFocus(UiKit::UINotify& msg);
    bool OnPanelClick(UiKit::CControlUI* sender);
    // Names the context menu markup for a row into buffer; false for none.
    bool ChooseContextMenu(UiKit::CControlUI* sender, wchar_t* buffer, int size);
    void ShowContextMenu(UiKit::UINotify& msg);

    // Rows (wnd_sub_score_list_rows.cpp).
    ScoreNode* AddPathRow(ScoreNode* parent, const std::wstring& path, bool expand);
    bool ExpandRow(int row, bool expand);
    void ToggleRow(int row);
    void RemoveRow(int row, bool deleteFiles);
    int FindScoreRow(const std::wstring& path);
    void ExpandAllFolders();
    void CollapseAllFolders();
    ScoreNode* NodeAt(int row) const;
    int RowOf(const ScoreNode* node) const;
    bool IsFolder(const ScoreNode* node) const;
    bool IsScore(const ScoreNode* node) const;
    bool IsPage(const ScoreNode* node) const;
    std::wstring ScorePathOfNode(const ScoreNode* node) const;
    std::wstring FolderPathOfNode(const ScoreNode* node) const;
    void InsertRecord(int row, const ScoreRowRecord& record);
    void EraseRecord(int row);
    void MeasureThumbnail();
    int LoadedPageCount() const;

    // Commands (wnd_sub_score_list_commands.cpp).
    void AddScores();
    void CopyScoresIntoFolder(ScoreNode* folder, const std::vector<std::wstring>& paths);
    void AddFolder();
    void RenameFolder();
    void RenameScore();
    void DeleteSelected();
    std::wstring ShowNameDialog(int mode, const std::wstring& name);
    // A refused command tells why: a message box owned by the player window
    // with the language text of messageId, name put in its place.
    void TellRefused(const wchar_t* messageId, const std::wstring& name) const;
    // A name the library cannot take for a new folder (folder true) or score:
    // told, and true.
    bool RefuseBadName(const std::wstring& name, bool folder) const;
    void ShowRowTitle(ScoreNode* node);
    void Relayout();
    bool OpenInPlayer(const std::wstring& path);
    std::wstring PlayerScorePath() const;
    CScoreListUI* PlayerScoreView() const;
    HWND PlayerWindow() const;

    IScorePlayer* player_;
    UiKit::CUIWindowManager* manager_;
    CWndModifyScoreDir* openDialog_ = nullptr;
    IScore* score_ = nullptr;
    ISelectAct* selectAct_ = nullptr;
    CScoreLibrary library_;

    UiKit::CControlUI* searchBox_ = nullptr;
    UiKit::CControlUI* btnSearch_ = nullptr;
    UiKit::COptionUI* optListView_ = nullptr;
    UiKit::COptionUI* optIconView_ = nullptr;
    UiKit::CControlUI* btnDelete_ = nullptr;
    UiKit::CControlUI* btnAddScore_ = nullptr;
    UiKit::CControlUI* btnAddFolder_ = nullptr;
    UiKit::CControlUI* btnExpand_ = nullptr;
    UiKit::CControlUI* btnShrink_ = nullptr;
    CScoreListUI* list_ = nullptr;

    std::vector<ScoreRowRecord> records_;
};
