#include "uikit/controls/button_option.h"

#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CButtonUI::CButtonUI() { textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

const wchar_t* CButtonUI::GetClassName() const { return L"ButtonUI"; }

void* CButtonUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Button") == 0) return this;
    return CLabelUI::FindInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    UINT flags = IsKeyboardEnabled() ? static_cast<UINT>(UIFLAG_TABSTOP) : 0u;
    if (IsEnabled()) flags |= UIFLAG_SETCURSOR;
    return flags;
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    if (manager_) manager_->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled) hot_ = pushed_ = captured_ = false;
}

void CButtonUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, handCursor_ && IsEnabled() ? IDC_HAND : IDC_ARROW));
        return;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (PtInRect(&rcItem_, event.mousePoint)) {
            captured_ = pushed_ = true;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (captured_) {
            bool inside = PtInRect(&rcItem_, event.mousePoint) != FALSE;
            if (inside != pushed_) {
                pushed_ = inside;
                Invalidate();
            }
        }
        return;
    case UIEVENT_BUTTONUP:
        if (captured_) {
            bool inside = PtInRect(&rcItem_, event.mousePoint) != FALSE;
            captured_ = pushed_ = false;
            Invalidate();
            if (inside) Activate();
        }
        return;
    case UIEVENT_CONTEXTMENU:
        break;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

DWORD CButtonUI::StateTextColor() const {
    if (!IsEnabled()) return ResolveTextColor(manager_, disabledTextColor_, true);
    if (pushed_ && pushedTextColor_) return pushedTextColor_;
    if (hot_ && hotTextColor_) return hotTextColor_;
    if (focused_ && focusedTextColor_) return focusedTextColor_;
    return ResolveTextColor(manager_, textColor_, false);
}

void CButtonUI::PaintStatusImage(HDC hdc) {
    const CUIString& image = StateImage(images_);
    if (!image.empty()) DrawImage(hdc, image);
    const CUIString& icon = StateImage(icons_);
    if (!icon.empty()) DrawImage(hdc, icon);
}

void CButtonUI::PaintText(HDC hdc) { DrawLabelText(hdc, StateTextColor()); }

void CButtonUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"normalimage") images_.normal = value;
    else if (n == L"hotimage") images_.hot = value;
    else if (n == L"pushedimage") images_.pushed = value;
    else if (n == L"focusedimage") images_.focused = value;
    else if (n == L"disabledimage") images_.disabled = value;
    else if (n == L"normalicon") icons_.normal = value;
    else if (n == L"hoticon") icons_.hot = value;
    else if (n == L"pushedicon") icons_.pushed = value;
    else if (n == L"focusedicon") icons_.focused = value;
    else if (n == L"disabledicon") icons_.disabled = value;
    else if (n == L"hottextcolor") hotTextColor_ = ParseColor(value, true);
    else if (n == L"pushedtextcolor") pushedTextColor_ = ParseColor(value, true);
    else if (n == L"focusedtextcolor") focusedTextColor_ = ParseColor(value, true);
    else if (n == L"handcursor") handCursor_ = ParseBool(value);
    else if (n == L"multiline") {
        // The only plain text that may wrap: DT_SINGLELINE off, word breaks on.
        if (ParseBool(value)) textStyle_ = (textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK;
        else textStyle_ = (textStyle_ & ~DT_WORDBREAK) | DT_SINGLELINE;
    } else {
        CLabelUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

// ---------------------------------------------------------------- option

COptionUI::~COptionUI() { LeaveGroup(); }

const wchar_t* COptionUI::GetClassName() const { return L"OptionUI"; }

void* COptionUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Option") == 0) return this;
    return CButtonUI::FindInterface(name);
}

void COptionUI::JoinGroup() {
    if (group_.empty() || !manager_ || groupManager_ == manager_) return;
    LeaveGroup();
    manager_->AddOptionGroup(group_, this);
    groupManager_ = manager_;
}

void COptionUI::LeaveGroup() {
    if (groupManager_ && !group_.empty()) groupManager_->RemoveOptionGroup(group_, this);
    groupManager_ = nullptr;
}

void COptionUI::SetManager(CUIWindowManager* manager, CControlUI* parent, bool init) {
    if (manager != groupManager_) LeaveGroup();
    CButtonUI::SetManager(manager, parent, init);
    JoinGroup();
}

void COptionUI::SetGroup(const CUIString& group) {
    if (group == group_) return;
    LeaveGroup();
    group_ = group;
    JoinGroup();
    if (selected_) {
        selected_ = false;
        Selected(true);
    }
}

void COptionUI::Selected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    Invalidate();
    if (!group_.empty()) {
        if (!selected) return;
        if (manager_) {
            const std::vector<CControlUI*>* members = manager_->GetOptionGroup(group_);
            if (members) {
                // Copy: deselecting never changes the group, but be safe.
                std::vector<CControlUI*> copy(*members);
                for (CControlUI* c : copy) {
                    COptionUI* other = static_cast<COptionUI*>(c->FindInterface(L"Option"));
                    if (other && other != this && other->selected_) {
                        other->selected_ = false;
                        other->Invalidate();
                    }
                }
            }
        }
    }
    // No notifications while the markup is still being applied.
    if (manager_ && initialised_) manager_->SendNotify(this, L"selectchanged");
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    if (!group_.empty()) Selected(true);
    else Selected(!selected_);
    return true;
}

void COptionUI::PaintStatusImage(HDC hdc) {
    if (selected_ && !selectedImage_.empty() && IsEnabled()) {
        DrawImage(hdc, selectedImage_);
        if (!selectedIcon_.empty()) DrawImage(hdc, selectedIcon_);
    } else {
        CButtonUI::PaintStatusImage(hdc);
    }
    if (!foreImage_.empty()) DrawImage(hdc, foreImage_);
}

void COptionUI::PaintText(HDC hdc) {
    if (selected_ && selectedTextColor_ && IsEnabled()) DrawLabelText(hdc, selectedTextColor_);
    else CButtonUI::PaintText(hdc);
}

void COptionUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"group") SetGroup(value);
    else if (n == L"selected") Selected(ParseBool(value));
    else if (n == L"selectedimage") selectedImage_ = value;
    else if (n == L"selectedicon") selectedIcon_ = value;
    else if (n == L"foreimage") foreImage_ = value;
    else if (n == L"selectedtextcolor") selectedTextColor_ = ParseColor(value, true);
    else {
        CButtonUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

}  // namespace UiKit
