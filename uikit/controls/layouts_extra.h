// The other layouts of the catalogue: tabs (one child shown at a time),
// tiles (children in a grid) and dialog layout (children at fixed places).
#pragma once
#include "uikit/core/container.h"

namespace UiKit {

class CTabLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    int GetCurSel() const { return curSel_; }
    // Shows the child at index alone and sends "tabselect".
    bool SelectItem(int index);
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    void ShowOnly(int index);

    int curSel_ = -1;
};

class CTileLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    SIZE GetItemSize() const { return itemSize_; }
    void SetItemSize(SIZE size);
    int GetColumns() const { return columns_; }
    void SetColumns(int columns);

    void SetPosition(RECT rc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    SIZE itemSize_ = {0, 0};
    int columns_ = 1;
};

class CDialogLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    void SetPosition(RECT rc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    SIZE itemSize_ = {0, 0};
};

}  // namespace UiKit
