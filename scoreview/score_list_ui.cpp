// The node tree of the score list: rows are inserted, removed, shown and
// hidden as nodes are added, removed, expanded and collapsed.
#include "scoreview/score_list_ui.h"

#include <cwchar>

#include "uikit/controls/label_text.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;

namespace {
const wchar_t kRowClass[] = L"ListContainerElementExUI";
const wchar_t kIconFolderCollapse[] = L"<i PNG_FOLDER_COLLAPSE.png>";
const wchar_t kIconFolderExpand[] = L"<i PNG_FOLDER_EXPAND.png>";
const wchar_t kIconFlagExpanded[] = L"<i PNG_FOLDER_FLAG.png>";
const wchar_t kIconFlagCollapsed[] = L"<i PNG_FOLDER_FLAG.png>";
const wchar_t kIconFile[] = L"<i PNG_FILE_FLAG.png>";
const size_t kMaxRowMarkupBytes = 256 * 1024;

bool IsRowControl(CControlUI* control) {
    return control && _wcsicmp(control->GetClassName(), kRowClass) == 0;
}

// The cursors are resources of the module that hosts the toolkit's windows.
HCURSOR LoadPluginCursor(int id) {
    return static_cast<HCURSOR>(LoadImageW(CSkinSettings::GetInstance(), MAKEINTRESOURCEW(id), IMAGE_CURSOR, 24, 24, 0));
}

// UTF-8 bytes of the row markup as wide text, without a byte order mark.
std::wstring WideMarkup(const std::string& bytes) {
    size_t skip = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), &text[0], n);
    return text;
}
}  // namespace

CControlUI* CDialogBuilderCallbackEx::CreateControl(const wchar_t* elementName) {
    if (!elementName) return nullptr;
    if (wcscmp(elementName, L"ListContainerElementEx") == 0) return new CListContainerElementExUI();
    if (wcscmp(elementName, L"ScoreList") == 0) return new CScoreListUI(manager_);
    return nullptr;
}

CScoreListUI::CScoreListUI(CUIWindowManager* manager) : owner_(manager), root_(NewRoot()) {
    GetListInfo()->showHtml = true;
    // The body hands mouse input on to the list, so that the wheel and the
    // drag reach HandleEvent wherever the pointer is.
    if (GetBody()) GetBody()->SetMouseEnabled(false);
    hoverCursor_ = LoadPluginCursor(104);
    dragCursor_ = LoadPluginCursor(105);
}

CScoreListUI::~CScoreListUI() {
    DestroyTree(root_);
    if (hoverCursor_) DestroyCursor(hoverCursor_);
    if (dragCursor_) DestroyCursor(dragCursor_);
}

void* CScoreListUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ScoreList") == 0) return this;
    return CListUI::FindInterface(name);
}

ScoreNode* CScoreListUI::NewRoot() {
    auto* root = new ScoreNode();
    root->level = -1;
    root->expanded = true;
    root->expandable = true;
    return root;
}

void CScoreListUI::DestroyTree(ScoreNode* node) {
    if (!node) return;
    for (ScoreNode* child : node->children) DestroyTree(child);
    delete node;
}

ScoreNode* CScoreListUI::NodeOf(CControlUI* row) {
    return row ? reinterpret_cast<ScoreNode*>(row->GetTag()) : nullptr;
}

ScoreNode* CScoreListUI::LastDescendant(ScoreNode* node) {
    while (node && !node->children.empty()) node = node->children.back();
    return node;
}

CControlUI* CScoreListUI::BuildRow() {
    // The markup is read once; each row is built from the kept text so that
    // a library of thousands of rows does not go back to the package.
    if (!rowMarkupRead_) {
        rowMarkupRead_ = true;
        std::string bytes;
        if (ReadSkinFile(L"UIItemScoreList.xml", bytes, kMaxRowMarkupBytes) == SkinReadError::None)
            rowMarkup_ = WideMarkup(bytes);
    }
    if (rowMarkup_.empty() || rowMarkup_[0] != L'<') return nullptr;
    CDialogBuilderCallbackEx callback(owner_);
    CControlUI* row = rowBuilder_.Build(rowMarkup_.c_str(), nullptr, &callback, owner_);
    if (row && !IsRowControl(row)) {
        delete row;
        return nullptr;
    }
    return row;
}

std::wstring CScoreListUI::IconMarkup(const ScoreNode* node) const {
    if (!node->expandable) return kIconFile;
    if (node->level == 0) return node->expanded ? kIconFolderExpand : kIconFolderCollapse;
    return node->expanded ? kIconFlagExpanded : kIconFlagCollapsed;
}

ScoreNode* CScoreListUI::AddNode(const ScoreRowInfo& info, ScoreNode* parent) {
    if (!parent) parent = root_;
    CControlUI* built = BuildRow();
    if (!built) return nullptr;
    auto* row = static_cast<CListContainerElementExUI*>(built);
    if (score) row->score = score;

    auto* node = new ScoreNode();
    node->parent = parent;
    node->level = parent->level + 1;
    node->branch = info.branch;
    node->expandable = info.branch && info.pageCount != 0;
    node->text = info.displayName;
    node->row = row;

    if (!parent->expanded) row->SetVisible(false);
    if (parent != root_ && parent->row && !parent->row->IsVisible()) row->SetVisible(false);

    RECT inset = rowInset_;
    if (node->level >= 1) inset.left += indent_ * node->level;
    if (!info.branch && displayMode != kScoreListMode) inset.bottom = 0;
    row->SetInset(inset);

    std::wstring title;
    if ((info.branch && displayMode != kScorePageMode) || displayMode == kScoreListMode) {
        title = IconMarkup(node);
        if (node->expandable && node->level == 0) row->SetPadding(folderPadding_);
        wchar_t gap[16];
        swprintf(gap, 16, L"<x %d>", indent_);
        title += gap;
        title += node->text;
    } else if (displayMode == kScoreIconMode) {
        title = info.displayName;
    }

    auto* titleText = static_cast<CLabelUI*>(owner_ ? owner_->FindSubControlByName(row, L"ID_TEXT_SCORE_PAGE_ICON_TITLE") : nullptr);
    if (titleText) {
        if (info.branch || displayMode == kScoreListMode) {
            titleText->SetFixedWidth(180);
            titleText->SetFixedHeight(25);
            titleText->SetShowHtml(true);
        }
        titleText->SetText(title.c_str());
        titleText->SetToolTip(info.displayName.c_str());
    }

    CControlUI* picture = owner_ ? owner_->FindSubControlByName(row, L"ID_LABEL_SCORE_PAGE_ICON") : nullptr;
    bool pictured = (displayMode == kScorePageMode || (displayMode == kScoreIconMode && !info.branch)) &&
                    !info.imageName.empty();
    if (pictured) {
        if (displayMode == kScoreIconMode) {
            row->SetFixedWidth(rowWidth);
            row->SetFixedHeight(rowHeight);
            if (picture) {
                picture->SetFixedHeight(pictureHeight);
                picture->SetFixedWidth(pictureWidth);
                picture->SetBorderSize(2);
            }
        } else {
            int side = (rowWidth - pictureWidth) / 2;
            if (side < 0) side = -side;
            row->SetInset(RECT{side, 0, side, 0});
            row->SetFixedHeight(rowHeight);
            row->SetFixedWidth(rowWidth);
            if (picture) {
                picture->SetFixedWidth(pictureWidth);
                picture->SetFixedHeight(pictureHeight);
                picture->SetBorderSize(0);
                picture->SetTag(reinterpret_cast<UINT_PTR>(row));
            }
            if (titleText) titleText->SetVisible(false);
            row->SetMouseEnabled(false);
        }
    } else {
        row->SetFixedHeight(25);
        if (picture) picture->SetVisible(false);
    }
    if (displayMode == kScorePageMode) {
        row->SetFixedHeight(rowHeight);
        row->SetFixedWidth(rowWidth);
    }
    row->SetToolTip(info.displayName.c_str());
    row->SetTag(reinterpret_cast<UINT_PTR>(node));

    int index = 0;
    if (!parent->children.empty()) index = GetItemIndex(LastDescendant(parent)->row) + 1;
    else if (parent != root_) index = GetItemIndex(parent->row) + 1;
    if (!CListUI::AddAt(row, index)) {
        delete row;
        delete node;
        return nullptr;
    }
    parent->children.push_back(node);
    return node;
}

bool CScoreListUI::RemoveNode(ScoreNode* node) {
    if (!node || node == root_) return false;
    // Children first, last to first, so that each removal finds its row
    // where the tree says it is.
    while (!node->children.empty()) RemoveNode(node->children.back());
    if (node->row) {
        int index = GetItemIndex(node->row);
        node->row->SetTag(0);
        if (index >= 0) CListUI::RemoveAt(index);
    }
    if (ScoreNode* parent = node->parent) {
        auto& siblings = parent->children;
        for (auto it = siblings.begin(); it != siblings.end(); ++it) {
            if (*it == node) {
                siblings.erase(it);
                break;
            }
        }
    }
    delete node;
    return true;
}

void CScoreListUI::SetNodeExpanded(ScoreNode* node, bool expanded) {
    if (!node || node == root_ || node->expanded == expanded) return;
    node->expanded = expanded;
    if (node->expandable && node->row && owner_) {
        std::wstring title = node->level == 0 ? (expanded ? kIconFolderExpand : kIconFolderCollapse) : kIconFlagExpanded;
        wchar_t gap[16];
        swprintf(gap, 16, L"<x %d>", indent_);
        title += gap;
        title += node->text;
        if (auto* text = static_cast<CLabelUI*>(owner_->FindSubControlByName(node->row, L"ID_TEXT_SCORE_PAGE_ICON_TITLE"))) {
            text->SetShowHtml(true);
            text->SetText(title.c_str());
        }
    }
    if (!node->row || !node->row->IsVisible() || node->children.empty()) return;
    int first = GetItemIndex(node->children.front()->row);
    int last = GetItemIndex(LastDescendant(node)->row);
    if (first < 0) return;
    for (int i = first; i <= last; ++i) {
        CControlUI* row = GetItemAt(i);
        if (!IsRowControl(row)) continue;
        if (!expanded) {
            row->SetVisible(false);
            continue;
        }
        ScoreNode* own = NodeOf(row);
        ScoreNode* parent = own ? own->parent : nullptr;
        bool parentShown = parent && parent->expanded && (parent == root_ || (parent->row && parent->row->IsVisible()));
        row->SetVisible(parentShown);
    }
}

bool CScoreListUI::Add(CControlUI* control) {
    if (!IsRowControl(control)) return false;
    return CListUI::Add(control);
}

bool CScoreListUI::AddAt(CControlUI* control, int index) {
    if (!IsRowControl(control)) return false;
    return CListUI::AddAt(control, index);
}

bool CScoreListUI::RemoveRow(CControlUI* row) {
    if (!IsRowControl(row)) return false;
    if (ScoreNode* node = NodeOf(row)) return RemoveNode(node);
    int index = GetItemIndex(row);
    return index >= 0 && CListUI::RemoveAt(index);
}

bool CScoreListUI::Remove(CControlUI* control) { return RemoveRow(control); }

bool CScoreListUI::RemoveAt(int index) { return RemoveRow(GetItemAt(index)); }

void CScoreListUI::RemoveAll() {
    CListUI::RemoveAll();
    DestroyTree(root_);
    root_ = NewRoot();
}

bool CScoreListUI::SelectItem(int index, bool takeFocus) {
    if (index == GetCurSel()) return true;
    if (!CListUI::SelectItem(index, takeFocus)) return false;
    ScoreNode* node = NodeOf(GetItemAt(index));
    if (!node || displayMode == kScorePageMode) return true;
    if (displayMode == kScoreIconMode) {
        UIListInfo* info = GetListInfo();
        if (node->branch) {
            info->hotBkColor = 0xFFF1F1F1;
            info->selectedBkColor = 0xFFD8C3C0;
        } else {
            info->hotBkColor = GetBkColor();
            info->selectedBkColor = GetBkColor();
        }
    }
    return true;
}
