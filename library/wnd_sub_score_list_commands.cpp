// The panel's commands from its buttons and context menus: adding scores and
// folders, renaming and deleting. Disk first, then the rows: a row changes
// only when the file system did.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "frame/lang_format.h"
#include "frame/lang_table.h"
#include "frame/path_name.h"
#include "library/library_paths.h"
#include "library/overwrite_question.h"
#include "library/score_file_dialog.h"
#include "library/wnd_modify_score_dir.h"
#include "library/wnd_sub_score_list.h"
#include "uikit/core/window_manager.h"

namespace {
const int kRowStep = 30;

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

// The player window owns the panel's message boxes and dialogs: the panel
// lives in it, so it is the window the panel's controls paint in.
HWND CWndSubScoreList::PlayerWindow() const { return player_ && manager_ ? manager_->GetPaintWindow() : nullptr; }

std::wstring CWndSubScoreList::PlayerScorePath() const { return player_ ? player_->CurrentScorePath() : L""; }

CScoreListUI* CWndSubScoreList::PlayerScoreView() const { return player_ ? player_->ScoreView() : nullptr; }

bool CWndSubScoreList::OpenInPlayer(const std::wstring& path) {
    // Without an engine there is nothing to show a score with.
    if (!player_ || !score_) return false;
    return player_->OpenScore(path);
}

void CWndSubScoreList::ShowRowTitle(ScoreNode* node) {
    // The list rebuilds the title markup (icon, indent, text) from the node
    // whenever its state changes, so a new name never touches the icon tags.
    if (list_ && node) {
        const bool expanded = node->expanded;
        list_->SetNodeExpanded(node, !expanded);
        list_->SetNodeExpanded(node, expanded);
    }
    if (!node || !node->row) return;
    if (UiKit::CControlUI* title = node->row->FindSubControl(L"ID_TEXT_SCORE_PAGE_ICON_TITLE"))
        title->SetToolTip(node->text);
    node->row->SetToolTip(node->text);
}

std::wstring CWndSubScoreList::ShowNameDialog(int mode, const std::wstring& name) {
    if (openDialog_ || !player_) return std::wstring();
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[kMaxEntryName + 1]());
    wmemcpy(buffer.get(), name.c_str(), std::min<size_t>(name.size(), kMaxEntryName));
    auto taken = [this, mode](const std::wstring& n) {
        return mode == kRenameScore ? ScoreNameExists(n) : FolderNameExists(n);
    };
    openDialog_ = new CWndModifyScoreDir(PlayerWindow(), taken, buffer.get(), mode);
    if (!openDialog_->GetHWND()) {
        // No window, so no last message that would delete it.
        delete openDialog_;
        openDialog_ = nullptr;
        return std::wstring();
    }
    UINT result = openDialog_->ShowModal();
    openDialog_ = nullptr;
    return result == kNameAccepted ? std::wstring(buffer.get()) : std::wstring();
}

void CWndSubScoreList::TellRefused(const wchar_t* messageId, const std::wstring& name) const {
    std::wstring text = FormatLangText(GetLangText(messageId), name);
    MessageBoxW(PlayerWindow(), text.c_str(), GetLangText(L"ID_WND_MELVANE_TITLE").c_str(), MB_OK);
}

bool CWndSubScoreList::RefuseBadName(const std::wstring& name, bool folder) const {
    // A folder whose name begins with a full stop would never be listed.
    if (IsPlainEntryName(name) && (!folder || IsScoreFolderName(name))) return false;
    TellRefused(L"ID_MSG_TIP_NAME_REFUSED", name);
    return true;
}

void CWndSubScoreList::Relayout() {
    // The scroll range is known only after the rows were placed.
    list_->RequestLayout();
    list_->SetPosition(list_->GetPosition());
}

void CWndSubScoreList::AddScores() {
    if (!list_) return;
    ScoreNode* folder = NodeAt(list_->GetCurSel());
    if (!folder) return;
    if (IsPage(folder)) folder = folder->parent;
    if (IsScore(folder)) folder = folder->parent;
    if (!IsFolder(folder)) {
        TellRefused(L"ID_MSG_TIP_SCORE_ENSURE_SEL_DIR", std::wstring());
        return;
    }
    const std::vector<std::wstring> chosen =
        AskForScoreFiles(manager_ ? manager_->GetPaintWindow() : PlayerWindow(), true);
    if (chosen.empty()) return;

    const size_t before = folder->children.size();
    CopyScoresIntoFolder(folder, chosen);
    if (folder->children.size() == before || folder->children.empty()) return;
    ScoreNode* last = folder->children.back();
    Relayout();
    int row = RowOf(last);
    SIZE range = list_->GetScrollRange();
    int y = row * kRowStep;
    if (y > range.cy) y = range.cy + kRowStep;
    list_->SelectItem(row, false);
    list_->SetScrollPos(SIZE{list_->GetScrollPos().cx, y});
    Relayout();
    std::wstring lastPath = ScorePathOfNode(last);
    if (PathExists(lastPath)) OpenInPlayer(lastPath);
}

void CWndSubScoreList::CopyScoresIntoFolder(ScoreNode* folder, const std::vector<std::wstring>& paths) {
    if (!IsFolder(folder)) return;
    OverwriteQuestion ask = OverwriteMessageBox(PlayerWindow());
    for (const std::wstring& source : paths) {
        std::wstring name = GetNameFromPath(source, true);
        if (name.empty()) name = source.substr(source.find_last_of(L'\\') + 1);
        // A file the library would never list again is not copied into it.
        if (!IsScoreFileName(name)) {
            TellRefused(L"ID_MSG_TIP_SCORE_NOT_LISTED", name);
            continue;
        }
        CopyOutcome outcome = library_.CopyScoreIn(source, folder->text, ask);
        if (outcome.result == CopyResult::Failed) TellRefused(L"ID_MSG_ERR_SCORE_COPY", name);
        if (outcome.result == CopyResult::Copied) {
            if (AddPathRow(folder, outcome.dest, true) == folder) library_.UndoCopy(outcome);
        } else if (outcome.result == CopyResult::Replaced && SameFileName(outcome.dest, PlayerScorePath())) {
            // The open score's row goes to the end of its folder, rebuilt
            // from the new file.
            FindScoreRow(outcome.dest);
            AddPathRow(folder, outcome.dest, true);
        }
    }
}

void CWndSubScoreList::AddFolder() {
    std::wstring name = ShowNameDialog(kNewFolder, std::wstring());
    if (name.empty() || !list_ || RefuseBadName(name, true)) return;
    if (!library_.CreateFolder(name)) {
        TellRefused(L"ID_MSG_ERR_CREATE_FOLDER", name);
        return;
    }
    AddPathRow(list_->Root(), library_.FolderPath(name), true);
}

void CWndSubScoreList::RenameFolder() {
    if (!list_) return;
    int row = list_->GetCurSel();
    ScoreNode* node = NodeAt(row);
    if (!IsFolder(node)) return;
    std::wstring oldPath = FolderPathOfNode(node);
    std::wstring name = ShowNameDialog(kRenameFolder, node->text);
    if (name.empty()) return;
    // The dialog ran modally: the rows may have changed meanwhile.
    if (NodeAt(row) != node || RefuseBadName(name, true)) return;
    std::wstring newPath = library_.RenameFolder(oldPath, name);
    if (newPath.empty()) {
        TellRefused(L"ID_MSG_ERR_RENAME", node->text);
        return;
    }
    node->text = name;
    records_[row].info.displayName = name;
    ShowRowTitle(node);
    std::wstring current = PlayerScorePath();
    if (player_ && current.size() > oldPath.size() && SameFileName(current.substr(0, oldPath.size()), oldPath))
        player_->SetCurrentScorePath(newPath + current.substr(oldPath.size()));
}

void CWndSubScoreList::RenameScore() {
    if (!list_) return;
    int row = list_->GetCurSel();
    ScoreNode* node = NodeAt(row);
    if (!IsScore(node)) return;
    std::wstring oldPath = ScorePathOfNode(node);
    if (!PathExists(oldPath)) return;
    std::wstring name = ShowNameDialog(kRenameScore, node->text);
    if (name.empty() || NodeAt(row) != node || RefuseBadName(name, false)) return;
    std::wstring newPath = library_.RenameScore(oldPath, name);
    if (newPath.empty()) {
        TellRefused(L"ID_MSG_ERR_RENAME", node->text);
        return;
    }
    node->text = name;
    records_[row].info.displayName = name;
    records_[row].fileName = GetNameFromPath(newPath, true);
    ShowRowTitle(node);
    if (player_ && SameFileName(PlayerScorePath(), oldPath)) player_->SetCurrentScorePath(newPath);
}

void CWndSubScoreList::DeleteSelected() {
    if (!list_ || PlayerScorePath().empty()) return;
    int row = list_->GetCurSel();
    ScoreNode* node = NodeAt(row);
    if (!node) return;
    if (IsPage(node)) {
        node = node->parent;
        row = RowOf(node);
    }
    const wchar_t* messageId = IsFolder(node) ? L"ID_MSG_SURE_DEL_SCORE_DIR" : L"ID_MSG_SURE_DEL_SCORE";
    std::wstring text = FormatLangText(GetLangText(messageId), node->text);
    int answer = MessageBoxW(PlayerWindow(), text.c_str(), GetLangText(L"ID_WND_MELVANE_TITLE").c_str(),
                             MB_OKCANCEL | MB_DEFBUTTON2);
    if (answer != IDOK || NodeAt(row) != node) return;
    RemoveRow(row, true);
    list_->SelectItem(-1, false);
    if (!PathExists(PlayerScorePath())) {
        if (CScoreListUI* view = PlayerScoreView()) view->RemoveAll();
    }
}
