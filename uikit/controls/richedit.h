// CRichEditUI: a text field drawn by windowless RichEdit 2.0 text services.
// It registers itself as a message filter of its window's manager so that
// it sees keyboard and mouse messages before the manager routes them, and
// hands the ones meant for it to the text services.
#pragma once
#include <windows.h>

#include "uikit/core/container.h"

namespace UiKit {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
public:
    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    void DoInit() override;
    CUIString GetText() const override;
    void SetText(const CUIString& text) override;
    void SetEnabled(bool enabled = true) override;
    void SetPosition(RECT rc) override;
    void SetInset(RECT rc) override;
    void PaintText(HDC hdc) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Options (attributes of the same names).
    bool IsMultiLine() const { return multiline_; }
    void SetMultiLine(bool multiline);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool IsPassword() const { return password_; }
    void SetPassword(bool password);
    bool IsRich() const { return rich_; }
    void SetRich(bool rich);
    bool IsWantTab() const { return wantTab_; }
    void SetWantTab(bool want) { wantTab_ = want; }
    bool IsWantReturn() const { return wantReturn_; }
    void SetWantReturn(bool want) { wantReturn_ = want; }
    bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
    void SetWantCtrlReturn(bool want) { wantCtrlReturn_ = want; }
    int GetFont() const { return font_; }
    void SetFont(int index);
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD argb);
    // "left", "center" or "right" (the last word found wins).
    void SetAlign(const wchar_t* value);
    // Most characters the field holds; 0 leaves the text services' default.
    int GetLimitText() const { return maxChar_; }
    void SetLimitText(int maxChar);

    // Text operations on the hosted field (nothing before DoInit).
    int GetTextLength() const;
    void SetSel(long start, long end);
    void GetSel(long& start, long& end) const;
    void ReplaceSel(const CUIString& text, bool canUndo = false);
    void SelectAll() { SetSel(0, -1); }
    bool Undo();
    LRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const;

    // Called by the host.
    RECT GetTextRect() const;
    void OnTxNotify(DWORD notify, void* data);

private:
    DWORD PropertyBits() const;
    void UpdatePropertyBits();
    bool IsCtrlDown() const;
    bool WantsEnter() const;
    // Whether a message of the window is the field's to handle.
    bool IsMessageForMe(UINT msg, LPARAM lParam) const;

    CTxtWinHost* host_ = nullptr;
    bool multiline_ = true;
    bool readOnly_ = false;
    bool password_ = false;
    bool rich_ = false;
    bool wantTab_ = false;
    bool wantReturn_ = false;
    bool wantCtrlReturn_ = false;
    // Scroll bars are the text services' own (they scroll on wheel and
    // caret moves); no scroll bar controls are drawn.
    bool vScrollBar_ = false;
    bool autoVScroll_ = false;
    bool hScrollBar_ = false;
    bool autoHScroll_ = false;
    bool filterAdded_ = false;
    int font_ = -1;
    DWORD textColor_ = 0;
    WORD align_ = 1;  // PFA_LEFT
    int maxChar_ = 0;
};

}  // namespace UiKit
