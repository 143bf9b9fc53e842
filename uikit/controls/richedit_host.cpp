#include "uikit/controls/richedit_host.h"

#include <imm.h>

#include "abi/module.h"
#include "uikit/controls/richedit.h"
#include "uikit/core/window_manager.h"

namespace UiKit {
namespace {

// Declared by the headers but not provided by MinGW's libuuid.
const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID kIIDTextHost = {0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

// Twips from a logical font height in pixels of the screen.
LONG TwipsFromPixels(LONG pixels) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi <= 0) dpi = 96;
    return MulDiv(pixels, 1440, dpi);
}

}  // namespace

CTxtWinHost::CTxtWinHost(CRichEditUI* owner, DWORD bits) : owner_(owner), bits_(bits) {
    charFormat_.cbSize = sizeof(charFormat_);
    paraFormat_.cbSize = sizeof(paraFormat_);
    paraFormat_.dwMask = PFM_ALL;
    paraFormat_.wAlignment = PFA_LEFT;
    paraFormat_.cTabCount = 1;
    paraFormat_.rgxTabs[0] = lDefaultTab;
}

CTxtWinHost* CTxtWinHost::Create(CRichEditUI* owner, DWORD propertyBits, const wchar_t* text) {
    // The UI thread keeps the library loaded; loading it here as well only
    // raises its count for windows built on other threads (tests).
    HMODULE module = GetModuleHandleW(L"Riched20.dll");
    if (!module) module = LoadLibraryW(L"Riched20.dll");
    auto create = GetProc<PCreateTextServices>(module, "CreateTextServices");
    if (!create) return nullptr;

    auto* host = new CTxtWinHost(owner, propertyBits);
    host->SetFont(nullptr);
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, host, &unknown)) || !unknown) {
        host->Release();
        return nullptr;
    }
    void* services = nullptr;
    HRESULT hr = unknown->QueryInterface(kIIDTextServices, &services);
    unknown->Release();
    if (FAILED(hr) || !services) {
        host->Release();
        return nullptr;
    }
    host->services_ = static_cast<ITextServices*>(services);
    if (text) host->services_->TxSetText(text);
    return host;
}

void CTxtWinHost::Shutdown() {
    if (!services_) return;
    if (active_) services_->OnTxInPlaceDeactivate();
    active_ = false;
    ITextServices* services = services_;
    services_ = nullptr;
    services->Release();
}

HWND CTxtWinHost::Window() const {
    CUIWindowManager* manager = owner_ ? owner_->GetManager() : nullptr;
    return manager ? manager->GetPaintWindow() : nullptr;
}

void CTxtWinHost::SetPropertyBits(DWORD mask, DWORD bits) {
    bits_ = (bits_ & ~mask) | (bits & mask);
    if (services_) services_->OnTxPropertyBitsChange(mask, bits & mask);
}

void CTxtWinHost::SetFont(HFONT font) {
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof(lf), &lf)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    COLORREF color = charFormat_.crTextColor;
    charFormat_ = CHARFORMAT2W{};
    charFormat_.cbSize = sizeof(charFormat_);
    charFormat_.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC |
                         CFM_UNDERLINE | CFM_STRIKEOUT;
    charFormat_.yHeight = TwipsFromPixels(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight);
    charFormat_.crTextColor = color;
    charFormat_.bCharSet = lf.lfCharSet;
    charFormat_.bPitchAndFamily = lf.lfPitchAndFamily;
    if (lf.lfWeight >= FW_BOLD) charFormat_.dwEffects |= CFE_BOLD;
    if (lf.lfItalic) charFormat_.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline) charFormat_.dwEffects |= CFE_UNDERLINE;
    if (lf.lfStrikeOut) charFormat_.dwEffects |= CFE_STRIKEOUT;
    lstrcpynW(charFormat_.szFaceName, lf.lfFaceName, LF_FACESIZE);
    if (services_) services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetTextColor(COLORREF color) {
    charFormat_.crTextColor = color;
    if (services_) services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetAlign(WORD paraAlignment) {
    paraFormat_.wAlignment = paraAlignment;
    if (services_) services_->OnTxPropertyBitsChange(TXTBIT_PARAFORMATCHANGE, TXTBIT_PARAFORMATCHANGE);
}

void CTxtWinHost::SetScrollBars(DWORD windowStyleBits) {
    scrollBars_ = windowStyleBits;
    if (services_) services_->OnTxPropertyBitsChange(TXTBIT_SCROLLBARCHANGE, TXTBIT_SCROLLBARCHANGE);
}

void CTxtWinHost::ClientRectChanged() {
    if (services_) services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
}

void CTxtWinHost::ActivateInPlace() {
    if (!services_ || active_) return;
    RECT rc = owner_->GetTextRect();
    active_ = SUCCEEDED(services_->OnTxInPlaceActivate(&rc));
}

// IUnknown

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIIDTextHost)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return static_cast<ULONG>(++refs_); }

ULONG CTxtWinHost::Release() {
    LONG left = --refs_;
    if (left == 0) {
        Shutdown();
        delete this;
    }
    return static_cast<ULONG>(left);
}

// ITextHost: device context, scroll bars, repainting.

HDC CTxtWinHost::TxGetDC() { return GetDC(Window()); }

INT CTxtWinHost::TxReleaseDC(HDC hdc) { return ReleaseDC(Window(), hdc); }

WINBOOL CTxtWinHost::TxShowScrollBar(INT, WINBOOL) { return TRUE; }
WINBOOL CTxtWinHost::TxEnableScrollBar(INT, INT) { return TRUE; }
WINBOOL CTxtWinHost::TxSetScrollRange(INT, LONG, INT, WINBOOL) { return TRUE; }
WINBOOL CTxtWinHost::TxSetScrollPos(INT, INT, WINBOOL) { return TRUE; }

void CTxtWinHost::TxInvalidateRect(LPCRECT, WINBOOL) { owner_->Invalidate(); }

void CTxtWinHost::TxViewChange(WINBOOL) { owner_->Invalidate(); }

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) { owner_->Invalidate(); }

// Caret, capture, focus, cursor and timers act on the control's window.

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    return CreateCaret(Window(), bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
    // Only the focused field has a caret in the window.
    if (show && !owner_->IsFocused()) return FALSE;
    return show ? ShowCaret(Window()) : HideCaret(Window());
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) { return SetCaretPos(x, y); }

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    CUIWindowManager* manager = owner_->GetManager();
    if (!manager) return FALSE;
    manager->KillTimer(owner_, id);
    return manager->SetTimer(owner_, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
    if (CUIWindowManager* manager = owner_->GetManager()) manager->KillTimer(owner_, id);
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
    HWND window = Window();
    if (!window) return;
    if (capture) SetCapture(window);
    else if (GetCapture() == window) ReleaseCapture();
}

void CTxtWinHost::TxSetFocus() { owner_->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) { return ScreenToClient(Window(), pt); }

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) { return ClientToScreen(Window(), pt); }

HRESULT CTxtWinHost::TxActivate(LONG* oldState) {
    if (oldState) *oldState = 0;
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

// Questions about the field.

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc) {
    if (!rc) return E_INVALIDARG;
    *rc = owner_->GetTextRect();
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc) {
    if (!rc) return E_INVALIDARG;
    SetRectEmpty(rc);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    if (!format) return E_INVALIDARG;
    *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    if (!format) return E_INVALIDARG;
    *format = reinterpret_cast<const PARAFORMAT*>(&paraFormat_);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    // The control paints its own background under the text.
    if (style) *style = TXTBACK_TRANSPARENT;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    if (length) *length = maxLength_ ? maxLength_ : 32767;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
    if (scrollBars) *scrollBars = scrollBars_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
    if (ch) *ch = passwordChar_;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* cp) {
    if (cp) *cp = -1;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL) { return E_NOTIMPL; }

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    if (bits) *bits = bits_ & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD notify, void* data) {
    owner_->OnTxNotify(notify, data);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return ImmGetContext(Window()); }

void CTxtWinHost::TxImmReleaseContext(HIMC context) { ImmReleaseContext(Window(), context); }

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    if (width) *width = 0;
    return S_OK;
}

}  // namespace UiKit
