#include "uikit/controls/combo.h"

#include <cwchar>

#include "uikit/controls/combo_wnd.h"
#include "uikit/controls/control_helpers.h"
#include "uikit/controls/text_render.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CComboUI::CComboUI() { info_.selectedBkColor = 0xFFC1E3FF; }

CComboUI::~CComboUI() {
    // The drop-down borrows the items: take them back before they go.
    if (wnd_) wnd_->CloseForDeletedOwner();
}

const wchar_t* CComboUI::GetClassName() const { return L"ComboUI"; }

void* CComboUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Combo") == 0) return this;
    if (wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    return CContainerUI::FindInterface(name);
}

void CComboUI::Renumber(int from) {
    for (int i = from < 0 ? 0 : from; i < GetCount(); ++i) {
        auto* item = static_cast<IListItemUI*>(items_[i]->FindInterface(L"ListItem"));
        if (item) item->SetIndex(i);
    }
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (auto* item = static_cast<IListItemUI*>(control->FindInterface(L"ListItem"))) item->SetOwner(this);
    Renumber(index);
    if (curSel_ >= index) ++curSel_;
    return true;
}

bool CComboUI::RemoveAt(int index) {
    if (!CContainerUI::RemoveAt(index)) return false;
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    Renumber(index);
    return true;
}

void CComboUI::RemoveAll() {
    curSel_ = -1;
    CContainerUI::RemoveAll();
}

int CComboUI::FindSelectable(int index, int step) const {
    for (int i = index; i >= 0 && i < GetCount(); i += step) {
        CControlUI* c = items_[i];
        if (c->IsVisible() && c->IsEnabled() && c->FindInterface(L"ListItem")) return i;
    }
    return -1;
}

bool CComboUI::SelectItem(int index, bool takeFocus) {
    (void)takeFocus;
    if (index >= GetCount()) index = GetCount() - 1;
    if (index == curSel_) return true;
    int old = curSel_;
    if (old >= 0) {
        auto* item = static_cast<IListItemUI*>(items_[old]->FindInterface(L"ListItem"));
        if (item) item->Select(false);
        curSel_ = -1;
    }
    if (index < 0) return false;
    CControlUI* c = items_[index];
    if (!c->IsVisible() || !c->IsEnabled()) return false;
    auto* item = static_cast<IListItemUI*>(c->FindInterface(L"ListItem"));
    if (!item) return false;
    curSel_ = index;
    item->Select(true);
    if (wnd_) wnd_->EnsureVisible(index);
    Invalidate();
    if (manager_) manager_->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old));
    return true;
}

CUIString CComboUI::GetText() const {
    if (curSel_ >= 0 && curSel_ < GetCount()) return items_[curSel_]->GetText();
    return text_;
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (wnd_) return true;
    wnd_ = CComboWnd::Open(this);
    if (!wnd_) return false;
    Invalidate();
    if (manager_) manager_->SendNotify(this, L"dropdown");
    return true;
}

void CComboUI::SetTextPadding(RECT rc) {
    textPadding_ = rc;
    Invalidate();
}

void CComboUI::SetPosition(RECT rc) {
    // The items are placed by the drop-down, not inside the combo.
    CControlUI::SetPosition(rc);
}

void CComboUI::Paint(HDC hdc, const RECT& paint) { CControlUI::Paint(hdc, paint); }

CControlUI* CComboUI::FindControl(FindControlProc proc, void* data, UINT flags) {
    // Hit tests stop at the combo: its items are not where it is.
    if (flags & UIFIND_HITTEST) return CControlUI::FindControl(proc, data, flags);
    return CContainerUI::FindControl(proc, data, flags);
}

void CComboUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && PtInRect(&rcItem_, event.mousePoint)) {
            pushed_ = true;
            Activate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (pushed_) {
            pushed_ = false;
            Invalidate();
        }
        return;
    case UIEVENT_KEYDOWN:
        switch (event.key) {
        case VK_UP: SelectItem(FindSelectable(curSel_ - 1, -1)); return;
        case VK_DOWN: SelectItem(FindSelectable(curSel_ + 1, 1)); return;
        case VK_PRIOR: SelectItem(FindSelectable(curSel_ - 10 < 0 ? 0 : curSel_ - 10, 1)); return;
        case VK_NEXT: SelectItem(FindSelectable(curSel_ + 10 >= GetCount() ? GetCount() - 1 : curSel_ + 10, -1)); return;
        case VK_HOME: SelectItem(FindSelectable(0, 1)); return;
        case VK_END: SelectItem(FindSelectable(GetCount() - 1, -1)); return;
        case VK_F4: Activate(); return;
        default: break;
        }
        break;
    case UIEVENT_SCROLLWHEEL: {
        int next = event.wParam == 0 ? FindSelectable(curSel_ - 1, -1) : FindSelectable(curSel_ + 1, 1);
        if (next >= 0) SelectItem(next);
        return;
    }
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

void CComboUI::PaintStatusImage(HDC hdc) {
    // The drop-down being open shows as pushed.
    const CUIString& image = images_.Pick(!IsEnabled(), pushed_ || wnd_, hot_, focused_);
    if (!image.empty()) DrawImage(hdc, image);
}

void CComboUI::PaintText(HDC hdc) {
    CUIString text = GetText();
    if (text.empty()) return;
    RECT rc = {rcItem_.left + textPadding_.left, rcItem_.top + textPadding_.top, rcItem_.right - textPadding_.right,
               rcItem_.bottom - textPadding_.bottom};
    DWORD color = IsEnabled() ? info_.textColor : info_.disabledTextColor;
    if (info_.showHtml) {
        FormattedDrawParams params;
        params.color = color;
        params.font = info_.font;
        params.style = info_.textStyle | DT_SINGLELINE;
        DrawFormattedText(hdc, manager_, rc, text, params);
    } else {
        Render::DrawPlainText(hdc, manager_, rc, text, color, info_.font, info_.textStyle | DT_SINGLELINE);
    }
}

void CComboUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"textpadding") SetTextPadding(ParseRect(value));
    else if (n == L"normalimage") images_.normal = value;
    else if (n == L"hotimage") images_.hot = value;
    else if (n == L"pushedimage") images_.pushed = value;
    else if (n == L"focusedimage") images_.focused = value;
    else if (n == L"disabledimage") images_.disabled = value;
    else if (n == L"dropbox") dropBoxAttributes_ = value;
    else if (n == L"dropboxsize") dropBoxSize_ = ParseSize(value);
    else if (n != L"itemendellipsis" && ApplyListInfoAttribute(info_, name, value)) {
    } else {
        CContainerUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

}  // namespace UiKit
