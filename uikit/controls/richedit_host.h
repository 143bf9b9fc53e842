// CTxtWinHost: the ITextHost through which a windowless RichEdit 2.0
// text-services object lives inside a CRichEditUI. It answers the text
// services' questions (client rectangle, formats, property bits) from the
// control and turns their requests (caret, capture, timers, repaint) into
// calls on the window that holds the control.
#pragma once
#include <windows.h>
#include <richedit.h>
#include <textserv.h>

namespace UiKit {

class CRichEditUI;

class CTxtWinHost final : public ITextHost {
public:
    // Creates the host and its text services with the given property bits
    // (TXTBIT_*); nullptr when "Riched20.dll" or its text services are
    // missing. The caller owns one reference.
    static CTxtWinHost* Create(CRichEditUI* owner, DWORD propertyBits, const wchar_t* text);

    ITextServices* Services() const { return services_; }
    // Releases the text services; the control calls it before its last Release.
    void Shutdown();

    // Changes the control makes; each is passed on to the text services.
    void SetPropertyBits(DWORD mask, DWORD bits);
    DWORD GetPropertyBits() const { return bits_; }
    void SetFont(HFONT font);
    void SetTextColor(COLORREF color);
    void SetAlign(WORD paraAlignment);
    void SetScrollBars(DWORD windowStyleBits);
    void SetPasswordChar(wchar_t ch) { passwordChar_ = ch; }
    void SetMaxLength(DWORD length) { maxLength_ = length; }
    // The text rectangle changed (new position or inset).
    void ClientRectChanged();
    // Activates in place once the control has a rectangle.
    void ActivateInPlace();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT flags, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT updateRect,
                          UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* cp) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD notify, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

private:
    CTxtWinHost(CRichEditUI* owner, DWORD bits);
    ~CTxtWinHost() = default;
    HWND Window() const;

    CRichEditUI* owner_;
    ITextServices* services_ = nullptr;
    LONG refs_ = 1;
    DWORD bits_;
    DWORD scrollBars_ = 0;
    DWORD maxLength_ = 0;
    wchar_t passwordChar_ = L'*';
    bool active_ = false;
    CHARFORMAT2W charFormat_ = {};
    PARAFORMAT2 paraFormat_ = {};
};

}  // namespace UiKit
