#include "library/wnd_sub_score_list.h"

#include <cwchar>

#include "frame/plugin_state.h"
#include "library/library_paths.h"
#include "library/wnd_modify_score_dir.h"
#include "uikit/controls/button_option.h"
#include "uikit/core/skin_builder.h"
#include "uikit/core/window_manager.h"
#include "uikit/menu/menu_wnd.h"

namespace {
const wchar_t kFolderMenu[] = L"UIMenuScoreDir.xml";
const wchar_t kScoreMenu[] = L"UIMenuScoreItem.xml";
}  // namespace

CWndSubScoreList::CWndSubScoreList(IScorePlayer* player, UiKit::CUIWindowManager* manager)
    : player_(player), manager_(manager), library_(std::wstring()) {
    UiKit::CSkinBuilder builder;
    CDialogBuilderCallbackEx callback(manager);
    UiKit::CControlUI* content = builder.Build(L"WndSubScoreList.xml", nullptr, &callback, manager);
    if (content) Add(content);
}

CWndSubScoreList::~CWndSubScoreList() {
    if (manager_) manager_->RemoveNotifier(this);
}

void* CWndSubScoreList::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"WndSubScoreList") == 0) return this;
    return CVerticalLayoutUI::FindInterface(name);
}

void CWndSubScoreList::InitControls() {
    auto find = [this](const wchar_t* name) { return manager_ ? manager_->FindControl(name) : nullptr; };
    searchBox_ = find(L"ID_EDIT_SEARCH");
    btnSearch_ = find(L"ID_BTN_SEARCH");
    optListView_ = dynamic_cast<UiKit::COptionUI*>(find(L"ID_BTN_SCORE_LIST_SHOW"));
    optIconView_ = dynamic_cast<UiKit::COptionUI*>(find(L"ID_BTN_SCORE_ICON_SHOW"));
    btnDelete_ = find(L"ID_BTN_SCORE_LIST_DEL");
    btnAddScore_ = find(L"ID_BTN_SCORE_LIST_ADD");
    btnAddFolder_ = find(L"ID_BTN_SCORE_LIST_ADD_DIR");
    btnExpand_ = find(L"ID_BTN_EXPAND_SCORE_LIST");
    btnShrink_ = find(L"ID_BTN_SHRINK_SCORE_LIST");
    list_ = dynamic_cast<CScoreListUI*>(find(L"ID_SCORE_LIST_SHOW"));
    if (list_) {
        list_->displayMode = kScoreListMode;
        list_->score = score_;
        // Thumbnails are measured at the zoom of the player's page view
        // before they are scaled to their width.
        list_->zoom = [this] {
            CScoreListUI* view = PlayerScoreView();
            return view ? view->Zoom() : 1.0f;
        };
    }
    if (optListView_ && !optListView_->IsSelected()) optListView_->Selected(true);
    library_ = CScoreLibrary(LibraryRootOf(PluginFolder()));
    if (manager_) manager_->AddNotifier(this);
}

void CWndSubScoreList::Notify(UiKit::UINotify& msg) {
    const UiKit::CUIString& type = msg.type;
    if (type == L"click") OnPanelClick(msg.sender);
    else if (type == L"itemclick") OnScoreItemClick(msg);
    else if (type == L"setfocus") OnSearchSetFocus(msg);
    else if (type == L"killfocus") OnSearchKillFocus(msg);
    else if (type == L"menu") ShowContextMenu(msg);
}

bool CWndSubScoreList::OnPanelClick(UiKit::CControlUI* sender) {
    if (!sender) return false;
    if (sender == btnSearch_) {
        SearchScores();
    } else if (optIconView_ && sender == optIconView_) {
        if (!optIconView_->IsSelected()) optIconView_->Selected(true);
        if (list_) list_->displayMode = kScoreIconMode;
    } else if (optListView_ && sender == optListView_) {
        if (!optListView_->IsSelected()) optListView_->Selected(true);
        if (list_) list_->displayMode = kScoreListMode;
    } else if (sender == btnExpand_) {
        ExpandAllFolders();
    } else if (sender == btnShrink_) {
        CollapseAllFolders();
    } else if (sender == btnDelete_) {
        DeleteSelected();
    } else if (sender == btnAddScore_) {
        AddScores();
    } else if (sender == btnAddFolder_) {
        AddFolder();
    } else {
        return false;
    }
    return true;
}

bool CWndSubScoreList::OnScoreItemClick(UiKit::UINotify& msg) {
    if (!list_ || !list_->IsVisible() || !msg.sender) return false;
    int row = list_->GetItemIndex(msg.sender);
    ScoreNode* node = NodeAt(row);
    if (!node) return false;
    if (node->expandable) {
        if (IsScore(node)) {
            std::wstring path = ScorePathOfNode(node);
            if (path != PlayerScorePath() && OpenInPlayer(path)) records_[row].info.pageCount = LoadedPageCount();
        }
        ToggleRow(row);
        return true;
    }
    if (!IsPage(node)) return true;
    ScoreNode* scoreNode = node->parent;
    std::wstring path = ScorePathOfNode(scoreNode);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    int scoreRow = RowOf(scoreNode);
    if (path != PlayerScorePath() && OpenInPlayer(path) && scoreRow >= 0)
        records_[scoreRow].info.pageCount = LoadedPageCount();
    // Only a score the player really shows can be paged.
    if (score_ && path == PlayerScorePath()) {
        pageJumpPending = true;
        score_->ops->GoToPage(score_, row - scoreRow - 1);
        // The engine only takes note of the page; the view shows it when it
        // is painted next.
        if (UiKit::CControlUI* view = PlayerScoreView()) view->Invalidate();
    }
    return true;
}

bool CWndSubScoreList::ChooseContextMenu(UiKit::CControlUI* sender, wchar_t* buffer, int size) {
    if (buffer && size > 0) buffer[0] = 0;
    if (!list_ || !sender || !buffer || size <= 0) return false;
    ScoreNode* node = NodeAt(list_->GetItemIndex(sender));
    const wchar_t* markup = IsFolder(node) ? kFolderMenu : IsScore(node) ? kScoreMenu : nullptr;
    if (!markup) return false;
    wcsncpy(buffer, markup, size - 1);
    buffer[size - 1] = 0;
    return true;
}

void CWndSubScoreList::ShowContextMenu(UiKit::UINotify& msg) {
    wchar_t markup[261] = {};
    HWND owner = PlayerWindow();
    if (!owner || !ChooseContextMenu(msg.sender, markup, 261)) return;
    POINT pt = msg.mousePoint;
    ClientToScreen(owner, &pt);
    // The menu posts the chosen item's name to the player window, which
    // hands it to OnMenuCommand.
    auto* menu = new UiKit::CMenuWnd(owner);
    menu->Init(nullptr, markup, L"xml", pt);
}

bool CWndSubScoreList::OnMenuCommand(const std::wstring& name) {
    if (name == L"ID_MENU_SCORE_ADD") AddScores();
    else if (name == L"ID_MENU_SCORE_DIR_EDIT") RenameFolder();
    else if (name == L"ID_MENU_SCORE_DIR_DEL" || name == L"ID_MENU_SCORE_ITEM_DEL") DeleteSelected();
    else if (name == L"ID_MENU_SCORE_ITEM_EDIT") RenameScore();
    else return false;
    return true;
}

void CWndSubScoreList::SelectPageRow(int page) {
    if (page < 0 || !list_ || !list_->IsVisible()) return;
    ScoreNode* node = NodeAt(list_->GetCurSel());
    if (!node) return;
    if (!node->expandable && node->parent) node = node->parent;
    if (page > static_cast<int>(node->children.size()) || !node->expanded) return;
    int row = RowOf(node) + page;
    if (row > 0) list_->SelectItem(row, false);
}

void CWndSubScoreList::CollapseAllAndUnselect() {
    if (!list_) return;
    for (int i = 0; i < list_->GetCount(); ++i) {
        ScoreNode* node = NodeAt(i);
        if (node && node->expandable && node->expanded) ExpandRow(i, false);
    }
    list_->SelectItem(-1, false);
}

// A name that can be no entry of the library (".", "..", separators) is not
// taken by anything in it: the command refuses it and says why, where the
// path it would reach (the library itself for ".") would call it taken.
bool CWndSubScoreList::FolderNameExists(const std::wstring& name) const {
    return IsPlainEntryName(name) && library_.FolderNameExists(name);
}

bool CWndSubScoreList::ScoreNameExists(const std::wstring& name) const {
    if (!IsPlainEntryName(name)) return false;
    ScoreNode* node = list_ ? NodeAt(list_->GetCurSel()) : nullptr;
    if (!IsScore(node)) return true;
    return library_.ScoreNameExists(ScorePathOfNode(node), name);
}

void CWndSubScoreList::CloseNameDialog() {
    if (openDialog_) openDialog_->CloseFromOutside();
}
