// Combo: shows the selected one of its items and opens them in a drop-down
// window (CComboWnd) when clicked. The items are its children but are only
// laid out and painted inside the drop-down.
#pragma once
#include "uikit/controls/control_helpers.h"
#include "uikit/controls/list.h"

namespace UiKit {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    ~CComboUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // IListOwnerUI
    UIListInfo* GetListInfo() override { return &info_; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false) override;
    void DoEvent(UIEvent& event) override { HandleEvent(event); }

    CUIString GetText() const override;
    bool Activate() override;
    bool IsDropped() const { return wnd_ != nullptr; }
    CComboWnd* GetDropWindow() const { return wnd_; }
    SIZE GetDropBoxSize() const { return dropBoxSize_; }
    void SetDropBoxSize(SIZE size) { dropBoxSize_ = size; }
    const CUIString& GetDropBoxAttributeList() const { return dropBoxAttributes_; }
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT rc);

    void SetPosition(RECT rc) override;
    void Paint(HDC hdc, const RECT& paint) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

private:
    friend class CComboWnd;
    void Renumber(int from);
    int FindSelectable(int index, int step) const;

    CComboWnd* wnd_ = nullptr;
    UIListInfo info_;
    int curSel_ = -1;
    RECT textPadding_ = {0, 0, 0, 0};
    SIZE dropBoxSize_ = {0, 150};
    CUIString dropBoxAttributes_;
    StateImages images_;
    bool hot_ = false;
    bool pushed_ = false;
};

}  // namespace UiKit
