// The panel's rows: building them from the library on disk, expanding
// scores into page rows, and removing rows together with their records.
#include <windows.h>
// GDI+ needs the whole of windows.h first.
#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "frame/lang_format.h"
#include "frame/lang_table.h"
#include "frame/loading_splash.h"
#include "frame/plugin_state.h"
#include "frame/path_name.h"
#include "library/library_paths.h"
#include "library/wnd_sub_score_list.h"
#include "uikit/core/window_manager.h"

namespace {
const wchar_t kFolderFlag[] = L"PNG_FOLDER_FLAG.png";
const wchar_t kFileFlag[] = L"PNG_FILE_FLAG.png";
const int kThumbnailWidth = 167;
// A library that takes longer than this to list shows the loading window.
const DWORD kSplashAfterMs = 300;

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring PageTitle(int page) { return FormatLangText(GetLangText(L"ID_TEXT_ITEM_TITLE"), page); }
std::unique_ptr<CLoadingSplash> ShowLibrarySplash(HWND owner) {
    auto splash = std::make_unique<CLoadingSplash>(owner);
    Gdiplus::Image* image = CLoadingSplash::LoadImageResource(Plugin().module);
    splash->SetImageAndText(image, CLoadingSplash::WaitingTipText());
    delete image;  // the splash keeps its own copy
    splash->Show();
    return splash;
}
}  // namespace

ScoreNode* CWndSubScoreList::NodeAt(int row) const {
    if (!list_ || row < 0 || row >= list_->GetCount()) return nullptr;
    return CScoreListUI::NodeOf(list_->GetItemAt(row));
}

int CWndSubScoreList::RowOf(const ScoreNode* node) const {
    if (!list_ || !node || !node->row) return -1;
    return list_->GetItemIndex(node->row);
}

bool CWndSubScoreList::IsFolder(const ScoreNode* node) const {
    return list_ && node && node->parent == list_->Root();
}

bool CWndSubScoreList::IsScore(const ScoreNode* node) const {
    return list_ && node && node->branch && node->parent && node->parent != list_->Root();
}

bool CWndSubScoreList::IsPage(const ScoreNode* node) const { return node && !node->branch && RowOf(node) >= 0; }

std::wstring CWndSubScoreList::ScorePathOfNode(const ScoreNode* node) const {
    if (IsPage(node)) node = node->parent;
    if (!IsScore(node)) return std::wstring();
    int row = RowOf(node);
    std::wstring file = row >= 0 && row < static_cast<int>(records_.size()) ? records_[row].fileName : L"";
    if (file.empty()) file = ScoreFileNameOf(node->text);
    return library_.FolderPath(node->parent->text) + file;
}

std::wstring CWndSubScoreList::FolderPathOfNode(const ScoreNode* node) const {
    if (IsPage(node)) node = node->parent;
    if (IsScore(node)) node = node->parent;
    if (!IsFolder(node)) return std::wstring();
    return library_.FolderPath(node->text);
}

void CWndSubScoreList::InsertRecord(int row, const ScoreRowRecord& record) {
    if (row < 0 || row > static_cast<int>(records_.size())) row = static_cast<int>(records_.size());
    records_.insert(records_.begin() + row, record);
}

void CWndSubScoreList::EraseRecord(int row) {
    if (row >= 0 && row < static_cast<int>(records_.size())) records_.erase(records_.begin() + row);
}

int CWndSubScoreList::LoadedPageCount() const { return score_ ? score_->ops->GetPageCount(score_) : 1; }

ScoreNode* CWndSubScoreList::AddPathRow(ScoreNode* parent, const std::wstring& path, bool expand) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (!list_ || attributes == INVALID_FILE_ATTRIBUTES) return nullptr;
    if (!parent) parent = list_->Root();
    ScoreRowRecord record;
    record.info.branch = true;
    record.info.pageCount = 1;
    record.info.imageName = kFolderFlag;
    record.info.displayName = GetNameFromPath(path, false);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ScoreNode* node = list_->AddNode(record.info, parent);
        if (!node) return nullptr;
        InsertRecord(RowOf(node), record);
        list_->SetNodeExpanded(parent, expand);
        return node;
    }
    // Without an engine the score is listed all the same, its page count
    // unknown; it cannot be opened or expanded then.
    if (score_ && score_->ops->Load(score_, path.c_str()) != 0) return parent;
    record.fileName = GetNameFromPath(path, true);
    ScoreNode* node = list_->AddNode(record.info, parent);
    if (!node) return parent;
    int row = RowOf(node);
    InsertRecord(row, record);
    records_[row].info.pageCount = LoadedPageCount();
    ExpandRow(row, expand);
    list_->SetNodeExpanded(parent, expand);
    return node;
}

void CWndSubScoreList::MeasureThumbnail() {
    HDC dc = manager_ ? manager_->GetPaintDC() : nullptr;
    if (!dc || !score_ || !list_) return;
    int saved = SaveDC(dc);
    POINT origin = {0, 0};
    SIZE page = {0, 0};
    score_->ops->Prepare(score_, dc, SCORE_MODE_THUMBNAIL, 1.0f, &origin);
    score_->ops->GetPageSize(score_, &page);
    RestoreDC(dc, saved);
    if (page.cx <= 0 || page.cy <= 0) return;
    list_->rowWidth = list_->pictureWidth = kThumbnailWidth;
    list_->rowHeight = list_->pictureHeight = static_cast<int>(page.cy * kThumbnailWidth / page.cx + 1);
}

bool CWndSubScoreList::ExpandRow(int row, bool expand) {
    ScoreNode* node = NodeAt(row);
    if (!node || node == list_->Root() || !node->expandable) return false;
    if (!expand) {
        if (IsScore(node)) {
            while (!node->children.empty() && list_->RemoveAt(row + 1)) EraseRecord(row + 1);
        }
        list_->SetNodeExpanded(node, false);
        return true;
    }
    if (IsFolder(node)) {
        list_->SetNodeExpanded(node, true);
        return true;
    }
    // Pages are added once; a score that shows them already stays as it is.
    if (!score_ || !IsScore(node) || !node->children.empty() || !PathExists(ScorePathOfNode(node))) return false;
    if (list_->displayMode == kScoreIconMode) {
        MeasureThumbnail();
        records_[row].info.pageCount = 1;
    }
    const int pages = records_[row].info.pageCount;
    for (int i = 1; i <= pages; ++i) {
        ScoreRowRecord page;
        page.info.branch = false;
        page.info.pageCount = 0;
        page.info.imageName = kFileFlag;
        page.info.displayName = PageTitle(i);
        ScoreNode* added = list_->AddNode(page.info, node);
        if (!added) break;
        InsertRecord(RowOf(added), page);
    }
    list_->SetNodeExpanded(node, true);
    return true;
}

void CWndSubScoreList::RefreshPageTitles() {
    for (int row = 0; row < static_cast<int>(records_.size()); ++row) {
        ScoreNode* node = NodeAt(row);
        if (!node || !IsPage(node) || !node->parent || !node->row) continue;
        const auto& pages = node->parent->children;
        const int number = static_cast<int>(std::find(pages.begin(), pages.end(), node) - pages.begin()) + 1;
        const std::wstring title = PageTitle(number);
        if (title == node->text) continue;
        // The shown title is the list's icon and indent markup followed by
        // the node's text; only the text is exchanged.
        if (UiKit::CControlUI* shown = node->row->FindSubControl(L"ID_TEXT_SCORE_PAGE_ICON_TITLE")) {
            const std::wstring markup = shown->GetText();
            if (markup.size() >= node->text.size() &&
                markup.compare(markup.size() - node->text.size(), node->text.size(), node->text) == 0)
                shown->SetText(markup.substr(0, markup.size() - node->text.size()) + title);
        }
        node->text = title;
        records_[row].info.displayName = title;
        ShowRowTitle(node);
    }
}

void CWndSubScoreList::ToggleRow(int row) {
    ScoreNode* node = NodeAt(row);
    if (node && node->branch) ExpandRow(row, !node->expanded);
}

void CWndSubScoreList::RemoveRow(int row, bool deleteFiles) {
    ScoreNode* node = NodeAt(row);
    if (!node || !node->branch) return;
    std::wstring folderPath, scorePath;
    if (IsFolder(node)) folderPath = FolderPathOfNode(node);
    else scorePath = ScorePathOfNode(node);
    while (!node->children.empty()) {
        ScoreNode* child = node->children.front();
        if (child->branch) {
            RemoveRow(row + 1, deleteFiles);
        } else {
            EraseRecord(row + 1);
            list_->RemoveNode(child);
        }
    }
    EraseRecord(row);
    if (deleteFiles) {
        // The storage deletes only inside the library and never a folder
        // that still holds files the panel does not list.
        if (!folderPath.empty()) library_.DeleteFolder(folderPath, {});
        else if (!scorePath.empty()) library_.DeleteScore(scorePath);
    }
    list_->RemoveNode(node);
}

int CWndSubScoreList::FindScoreRow(const std::wstring& path) {
    if (!list_) return -1;
    for (int i = 0; i < list_->GetCount(); ++i) {
        ScoreNode* node = NodeAt(i);
        if (IsScore(node) && SameFileName(ScorePathOfNode(node), path)) {
            RemoveRow(i, false);
            return i;
        }
    }
    return -1;
}

void CWndSubScoreList::ExpandAllFolders() {
    if (list_ && list_->GetCount() > 0) {
        for (ScoreNode* folder : list_->Root()->children) ExpandRow(RowOf(folder), true);
    }
    if (btnExpand_) btnExpand_->SetVisible(false);
    if (btnShrink_) btnShrink_->SetVisible(true);
}

void CWndSubScoreList::CollapseAllFolders() {
    if (list_ && list_->GetCount() > 0) {
        for (ScoreNode* folder : list_->Root()->children) ExpandRow(RowOf(folder), false);
    }
    if (btnShrink_) btnShrink_->SetVisible(false);
    if (btnExpand_) btnExpand_->SetVisible(true);
}

void CWndSubScoreList::LoadScoreLibrary() {
    // The rows are built once; a second load would list everything twice.
    if (!list_ || list_->GetCount() > 0) return;
    const std::vector<std::wstring> paths = library_.Enumerate();
    ScoreNode* folder = nullptr;
    ScoreNode* firstScore = nullptr;
    // Every score is loaded once to learn its page count; a large library
    // keeps the window busy for a while, so say so.
    const DWORD started = GetTickCount();
    std::unique_ptr<CLoadingSplash> splash;
    for (const std::wstring& path : paths) {
        if (!splash && GetTickCount() - started > kSplashAfterMs) splash = ShowLibrarySplash(PlayerWindow());
        if (!path.empty() && path.back() == L'\\') {
            folder = AddPathRow(list_->Root(), path, true);
            continue;
        }
        if (!folder) continue;
        ScoreNode* node = AddPathRow(folder, path, false);
        if (!firstScore && node && node != folder) firstScore = node;
    }
    for (ScoreNode* f : list_->Root()->children) list_->SetNodeExpanded(f, true);
    if (splash) splash->Hide();

    const std::wstring remembered = PlayerScorePath();
    if (!remembered.empty() && PathExists(remembered)) {
        for (int i = 0; i < list_->GetCount(); ++i) {
            ScoreNode* node = NodeAt(i);
            if (!IsScore(node) || !SameFileName(ScorePathOfNode(node), remembered)) continue;
            OpenInPlayer(ScorePathOfNode(node));
            list_->SelectItem(i, false);
            records_[i].info.pageCount = LoadedPageCount();
            if (!node->expanded) ExpandRow(i, true);
            break;
        }
    }
    CScoreListUI* view = PlayerScoreView();
    bool nothingShown = view ? view->GetCount() == 0 : PlayerScorePath().empty();
    if (nothingShown && firstScore && OpenInPlayer(ScorePathOfNode(firstScore))) {
        int row = RowOf(firstScore);
        records_[row].info.pageCount = LoadedPageCount();
        ExpandRow(row, true);
        list_->SelectItem(RowOf(firstScore), false);
    }
}
