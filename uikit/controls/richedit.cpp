#include "uikit/controls/richedit.h"

#include <richedit.h>
#include <textserv.h>

#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/controls/richedit_host.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
    if (manager_ && filterAdded_) manager_->RemoveMessageFilter(this);
    if (host_) {
        if (focused_) TxSendMessage(WM_KILLFOCUS, 0, 0);
        host_->Shutdown();
        host_->Release();
        host_ = nullptr;
    }
}

const wchar_t* CRichEditUI::GetClassName() const { return L"RichEditUI"; }

void* CRichEditUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
    return CContainerUI::FindInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
    if (!IsEnabled()) return UIFLAG_SETCURSOR;
    UINT flags = UIFLAG_SETCURSOR | UIFLAG_TABSTOP;
    if (wantTab_) flags |= UIFLAG_WANTTAB;
    if (wantReturn_) flags |= UIFLAG_WANTRETURN;
    return flags;
}

DWORD CRichEditUI::PropertyBits() const {
    DWORD bits = 0;
    if (multiline_) bits |= TXTBIT_MULTILINE;
    if (readOnly_) bits |= TXTBIT_READONLY;
    if (password_) bits |= TXTBIT_USEPASSWORD;
    if (rich_) bits |= TXTBIT_RICHTEXT;
    if (multiline_ && !hScrollBar_ && !autoHScroll_) bits |= TXTBIT_WORDWRAP;
    return bits;
}

void CRichEditUI::UpdatePropertyBits() {
    if (!host_) return;
    const DWORD mask = TXTBIT_MULTILINE | TXTBIT_READONLY | TXTBIT_USEPASSWORD | TXTBIT_RICHTEXT | TXTBIT_WORDWRAP;
    host_->SetPropertyBits(mask, PropertyBits());
    DWORD scroll = 0;
    if (vScrollBar_) scroll |= WS_VSCROLL;
    if (autoVScroll_) scroll |= ES_AUTOVSCROLL;
    if (hScrollBar_) scroll |= WS_HSCROLL;
    // A one-line field always scrolls sideways: otherwise it would hold only
    // what fits its width.
    if (autoHScroll_ || !multiline_) scroll |= ES_AUTOHSCROLL;
    host_->SetScrollBars(scroll);
}

void CRichEditUI::DoInit() {
    if (host_ || !manager_) return;
    host_ = CTxtWinHost::Create(this, PropertyBits(), nullptr);
    if (!host_) return;
    UpdatePropertyBits();
    host_->SetFont(manager_->GetFont(font_));
    host_->SetTextColor(Render::ToColorRef(textColor_ ? textColor_ : manager_->GetDefaultFontColor()));
    host_->SetAlign(align_);
    host_->SetMaxLength(static_cast<DWORD>(maxChar_));
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
    if (maxChar_ > 0) TxSendMessage(EM_EXLIMITTEXT, 0, maxChar_);
    host_->ActivateInPlace();
    CUIString text = text_;
    text_.clear();
    SetText(text);
    manager_->AddMessageFilter(this);
    filterAdded_ = true;
}

CUIString CRichEditUI::GetText() const {
    if (!host_ || !host_->Services()) return text_;
    BSTR text = nullptr;
    CUIString result;
    if (SUCCEEDED(host_->Services()->TxGetText(&text)) && text) result.assign(text, SysStringLen(text));
    if (text) SysFreeString(text);
    return result;
}

void CRichEditUI::SetText(const CUIString& value) {
    // The field never holds more than its limit, whoever sets the text.
    CUIString text = value;
    if (maxChar_ > 0 && text.size() > static_cast<size_t>(maxChar_)) text.resize(maxChar_);
    text_ = text;
    if (host_ && host_->Services()) {
        host_->Services()->TxSetText(text.c_str());
        long end = GetTextLength();
        SetSel(end, end);
    }
    Invalidate();
}

void CRichEditUI::SetEnabled(bool enabled) {
    if (!enabled && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
    CContainerUI::SetEnabled(enabled);
}

void CRichEditUI::SetPosition(RECT rc) {
    CContainerUI::SetPosition(rc);
    if (host_) host_->ClientRectChanged();
}

void CRichEditUI::SetInset(RECT rc) {
    CContainerUI::SetInset(rc);
    if (host_) host_->ClientRectChanged();
}

RECT CRichEditUI::GetTextRect() const {
    return InsetRect(rcItem_, rcInset_);
}

void CRichEditUI::PaintText(HDC hdc) {
    if (!host_ || !host_->Services()) return;
    RECT rc = GetTextRect();
    RECT update = paintRect_;
    RECTL bounds = {rc.left, rc.top, rc.right, rc.bottom};
    host_->Services()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hdc, nullptr, &bounds, nullptr, &update,
                              nullptr, 0, focused_ ? TXTVIEW_ACTIVE : TXTVIEW_INACTIVE);
}

void CRichEditUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && event.kind > UIEVENT__MOUSEBEGIN && event.kind < UIEVENT__MOUSEEND) {
        if (parent_) parent_->HandleEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_SETCURSOR: {
        RECT rc = GetTextRect();
        bool overText = PtInRect(&rc, event.mousePoint) != FALSE;
        ::SetCursor(LoadCursorW(nullptr, overText && IsEnabled() ? IDC_IBEAM : IDC_ARROW));
        return;
    }
    case UIEVENT_SETFOCUS:
        focused_ = true;
        TxSendMessage(WM_SETFOCUS, 0, 0);
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        focused_ = false;
        TxSendMessage(WM_KILLFOCUS, 0, 0);
        Invalidate();
        return;
    case UIEVENT_TIMER:
        // The text services' own timers (caret scrolling, drag selection).
        TxSendMessage(WM_TIMER, event.wParam, 0);
        return;
    case UIEVENT_SCROLLWHEEL:
        break;
    default:
        // Mouse and keys already went to the text services through the
        // message filter.
        if ((event.kind > UIEVENT__MOUSEBEGIN && event.kind < UIEVENT__MOUSEEND) ||
            (event.kind > UIEVENT__KEYBEGIN && event.kind < UIEVENT__KEYEND))
            return;
        break;
    }
    CContainerUI::HandleEvent(event);
}

bool CRichEditUI::IsCtrlDown() const { return GetKeyState(VK_CONTROL) < 0; }

bool CRichEditUI::WantsEnter() const { return wantReturn_ && (!IsCtrlDown() || wantCtrlReturn_); }

bool CRichEditUI::IsMessageForMe(UINT msg, LPARAM lParam) const {
    if (!host_ || !host_->Services() || !manager_ || !IsVisible() || !IsEnabled()) return false;
    if (msg == WM_MOUSEWHEEL) {
        if (!IsMouseEnabled()) return false;
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(manager_->GetPaintWindow(), &pt);
        RECT rc = GetTextRect();
        return multiline_ && PtInRect(&rc, pt);
    }
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        if (!IsMouseEnabled()) return false;
        // A drag that began in the field follows the mouse outside it.
        if (manager_->GetClickControl() == this) return true;
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT rc = GetTextRect();
        if (!PtInRect(&rc, pt)) return false;
        // Only the topmost control at the point gets the click.
        return manager_->FindControl(pt) == this;
    }
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_CHAR:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
        return IsFocused();
    default:
        return false;
    }
}

LRESULT CRichEditUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    // The window losing or regaining the focus takes the caret with it.
    if ((msg == WM_KILLFOCUS || msg == WM_SETFOCUS) && IsFocused() && host_) {
        TxSendMessage(msg, 0, 0);
        return 0;
    }
    if (!IsMessageForMe(msg, lParam)) return 0;

    if (msg == WM_KEYDOWN && wParam == VK_RETURN && !WantsEnter()) {
        // Enter reaches the window (dialog keys, the player's search) but
        // not the text.
        if (manager_) manager_->SendNotify(this, L"return");
        return 0;
    }
    if (msg == WM_CHAR && (wParam == L'\r' || wParam == L'\n') && !WantsEnter()) {
        handled = true;
        return 0;
    }
    if (msg == WM_CHAR && wParam == L'\t' && !wantTab_) {
        handled = true;
        return 0;
    }

    LRESULT result = 0;
    HRESULT hr = host_->Services()->TxSendMessage(msg, wParam, lParam, &result);
    // The manager still routes the mouse (focus, capture, hot control);
    // keys the text services took stop here.
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL) return result;
    if (hr == S_OK) handled = true;
    return result;
}

void CRichEditUI::OnTxNotify(DWORD notify, void*) {
    if (notify == EN_CHANGE && manager_) manager_->SendNotify(this, L"textchanged");
}

void CRichEditUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!name) return;
    if (!value) value = L"";
    std::wstring n(name);
    bool on = ParseBool(value);
    if (n == L"vscrollbar") {
        vScrollBar_ = on;
        UpdatePropertyBits();
    } else if (n == L"autovscroll") {
        autoVScroll_ = on;
        UpdatePropertyBits();
    } else if (n == L"hscrollbar") {
        hScrollBar_ = on;
        UpdatePropertyBits();
    } else if (n == L"autohscroll") {
        autoHScroll_ = on;
        UpdatePropertyBits();
    } else if (n == L"wanttab") {
        SetWantTab(on);
    } else if (n == L"wantreturn") {
        SetWantReturn(on);
    } else if (n == L"wantctrlreturn") {
        SetWantCtrlReturn(on);
    } else if (n == L"rich") {
        SetRich(on);
    } else if (n == L"multiline") {
        SetMultiLine(on);
    } else if (n == L"readonly") {
        SetReadOnly(on);
    } else if (n == L"password") {
        SetPassword(on);
    } else if (n == L"align") {
        SetAlign(value);
    } else if (n == L"font") {
        SetFont(static_cast<int>(ParseInt(value)));
    } else if (n == L"textcolor") {
        SetTextColor(ParseColor(value, true));
    } else if (n == L"maxchar") {
        SetLimitText(static_cast<int>(ParseInt(value)));
    } else {
        CContainerUI::ApplyAttribute(name, value);
    }
}

void CRichEditUI::SetMultiLine(bool multiline) {
    multiline_ = multiline;
    UpdatePropertyBits();
}

void CRichEditUI::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    UpdatePropertyBits();
}

void CRichEditUI::SetPassword(bool password) {
    password_ = password;
    UpdatePropertyBits();
}

void CRichEditUI::SetRich(bool rich) {
    rich_ = rich;
    UpdatePropertyBits();
}

void CRichEditUI::SetFont(int index) {
    font_ = index;
    if (host_ && manager_) host_->SetFont(manager_->GetFont(index));
}

void CRichEditUI::SetTextColor(DWORD argb) {
    textColor_ = argb;
    if (host_ && manager_) host_->SetTextColor(Render::ToColorRef(argb ? argb : manager_->GetDefaultFontColor()));
}

void CRichEditUI::SetAlign(const wchar_t* value) {
    if (!value) return;
    if (wcsstr(value, L"left")) align_ = PFA_LEFT;
    if (wcsstr(value, L"center")) align_ = PFA_CENTER;
    if (wcsstr(value, L"right")) align_ = PFA_RIGHT;
    if (host_) host_->SetAlign(align_);
}

void CRichEditUI::SetLimitText(int maxChar) {
    maxChar_ = maxChar > 0 ? maxChar : 0;
    if (!host_) return;
    host_->SetMaxLength(static_cast<DWORD>(maxChar_));
    // The text services never ask the host for its limit; they take it by
    // message.
    TxSendMessage(EM_EXLIMITTEXT, 0, maxChar_ > 0 ? maxChar_ : 32767);
    if (maxChar_ > 0 && GetTextLength() > maxChar_) SetText(GetText());
}

int CRichEditUI::GetTextLength() const {
    if (!host_) return static_cast<int>(text_.size());
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int>(TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void CRichEditUI::SetSel(long start, long end) {
    CHARRANGE range = {start, end};
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditUI::GetSel(long& start, long& end) const {
    CHARRANGE range = {0, 0};
    TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
}

void CRichEditUI::ReplaceSel(const CUIString& text, bool canUndo) {
    TxSendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CRichEditUI::Undo() { return TxSendMessage(EM_UNDO, 0, 0) != 0; }

LRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    LRESULT result = 0;
    if (host_ && host_->Services()) host_->Services()->TxSendMessage(msg, wParam, lParam, &result);
    return result;
}

}  // namespace UiKit
