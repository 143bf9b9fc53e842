#include "library/wnd_modify_score_dir.h"

#include <cwchar>
#include <cwctype>
#include <utility>

#include "frame/lang_apply.h"
#include "frame/lang_table.h"
#include "library/library_paths.h"
#include "uikit/core/control.h"

namespace {
std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && iswspace(text[first])) ++first;
    while (last > first && iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}
}  // namespace

NameCheck CheckEntryName(int mode, const std::wstring& given, const std::wstring& typed,
                         const std::function<bool(const std::wstring&)>& taken) {
    NameCheck check;
    std::wstring name = Trimmed(typed);
    if (name.empty()) return check;
    bool rename = mode == kRenameFolder || mode == kRenameScore;
    bool unchanged = rename && name == given;
    // A change of letter case alone finds the entry itself on a file system
    // that ignores case; that is no other entry taking the name.
    bool caseOnly = rename && !unchanged && SameFileName(name, given);
    if (!unchanged && !caseOnly && taken && taken(name)) {
        check.verdict = NameVerdict::Taken;
        return check;
    }
    if (unchanged) {
        check.verdict = NameVerdict::Unchanged;
        return check;
    }
    check.verdict = NameVerdict::Accepted;
    check.name = name.substr(0, kMaxEntryName);
    return check;
}

CWndModifyScoreDir::CWndModifyScoreDir(HWND owner, std::function<bool(const std::wstring&)> taken,
                                       wchar_t* nameBuffer, int mode)
    : taken_(std::move(taken)), nameBuffer_(nameBuffer), mode_(mode) {
    Create(owner, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, CW_USEDEFAULT,
           CW_USEDEFAULT);
    CenterWindow();
}

void CWndModifyScoreDir::OnWindowBuilt() {
    btnClose_ = manager_.FindControl(L"ID_BTN_MODIFYSCOREDIR_CLOSE");
    nameField_ = manager_.FindControl(L"ID_EDIT_SCORE_DIR_NAME");
    btnCancel_ = manager_.FindControl(L"ID_BTN_MODIFYSCOREDIR_CANCEL");
    btnOk_ = manager_.FindControl(L"ID_BTN_MODIFYSCOREDIR_OK");
    UiKit::CControlUI* titles[] = {manager_.FindControl(L"ID_LABEL_SETTINGS_CREATE_SCORE_DIR"),
                                   manager_.FindControl(L"ID_LABEL_SETTINGS_EDIT_SCORE_DIR"),
                                   manager_.FindControl(L"ID_LABEL_SETTINGS_EDIT_SCORE_NAME")};
    UiKit::CControlUI* folderLabel = manager_.FindControl(L"ID_LABEL_SCORE_DIR_TITLE");
    UiKit::CControlUI* scoreLabel = manager_.FindControl(L"ID_LABEL_SCORE_NAME_TITLE");
    for (UiKit::CControlUI* label : titles)
        if (label) label->SetVisible(false);
    if (folderLabel) folderLabel->SetVisible(false);
    if (scoreLabel) scoreLabel->SetVisible(false);
    if (mode_ < kNewFolder || mode_ > kRenameScore) return;
    if (titles[mode_]) titles[mode_]->SetVisible(true);
    UiKit::CControlUI* fieldLabel = mode_ == kRenameScore ? scoreLabel : folderLabel;
    if (fieldLabel) fieldLabel->SetVisible(true);
}

void CWndModifyScoreDir::OnNcDestroyed(HWND window) {
    CWndImplBase::OnNcDestroyed(window);
    delete this;
}

void CWndModifyScoreDir::CloseFromOutside() {
    std::wstring caption = GetLangText(L"ID_WND_MELVANE_TITLE");
    if (!caption.empty()) {
        // Every window of that caption is looked at: the player window carries
        // the same one and must not hide the dialog's message box.
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, nullptr, caption.c_str())) != nullptr) {
            if (GetParent(box) == hwnd_ && box != hwnd_) {
                ::SendMessageW(box, WM_CLOSE, 1, 0);
                break;
            }
        }
    }
    Close(kNameCancelled);
}

LRESULT CWndModifyScoreDir::OnDialogKey(WPARAM key, LPARAM) {
    if (key != VK_ESCAPE) return 0;
    CloseFromOutside();
    return 1;
}

void CWndModifyScoreDir::Notify(UiKit::UINotify& msg) {
    if (msg.type == L"windowinit") {
        shadow_.Create(hwnd_);
        ApplyLangTexts(&manager_);
        if (nameField_ && nameBuffer_ && nameBuffer_[0]) nameField_->SetText(nameBuffer_);
        if (nameField_) manager_.SetFocus(nameField_);
        return;
    }
    if (msg.type != L"click" || !msg.sender) return;
    const std::wstring name = msg.sender->GetName();
    auto is = [&name](UiKit::CControlUI* c) { return c && c->GetName() == name; };
    if (is(btnClose_) || is(btnCancel_)) Close(kNameCancelled);
    else if (is(btnOk_)) Accept();
}

void CWndModifyScoreDir::Tell(const wchar_t* messageId) {
    MessageBoxW(hwnd_, GetLangText(messageId).c_str(), GetLangText(L"ID_WND_MELVANE_TITLE").c_str(), MB_OK);
}

void CWndModifyScoreDir::Accept() {
    if (!nameField_ || !nameBuffer_) return;
    std::wstring given(nameBuffer_, wcsnlen(nameBuffer_, kMaxEntryName));
    NameCheck check = CheckEntryName(mode_, given, nameField_->GetText(),
                                     [this](const std::wstring& n) {
                                         // Nothing can be checked without the library, so nothing is accepted.
                                         return !taken_ || taken_(n);
                                     });
    switch (check.verdict) {
    case NameVerdict::Empty: Tell(L"ID_MSG_TIP_SCORE_DIR_NAME_EMPTY"); return;
    case NameVerdict::Taken: Tell(L"ID_MSG_TIP_SCORE_DIR_EXIST"); return;
    case NameVerdict::Unchanged: Close(kNameCancelled); return;
    case NameVerdict::Accepted: break;
    }
    wmemset(nameBuffer_, 0, kMaxEntryName + 1);
    wmemcpy(nameBuffer_, check.name.c_str(), check.name.size());
    Close(kNameAccepted);
}
