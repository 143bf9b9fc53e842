// The list: a vertical layout holding a header (column titles) and a body
// that holds and scrolls the items. The items read the list's item
// appearance record when they paint; the combo shares the same interfaces.
#pragma once
#include "uikit/controls/control_helpers.h"
#include "uikit/core/layouts.h"

namespace UiKit {

class CListHeaderUI;
class CListBodyUI;

constexpr int kMaxListColumns = 32;

// How the items of a list (or combo) look, set by the item attributes.
struct UIListInfo {
    int font = -1;
    UINT textStyle = DT_VCENTER;
    RECT textPadding = {0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    CUIString bkImage;
    bool alternateBk = false;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFE6E7EB;
    CUIString selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    CUIString hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    CUIString disabledImage;
    DWORD lineColor = 0;
    bool showHtml = false;
    bool multiExpandable = false;
    // The header columns' horizontal extents, filled at each layout.
    int columns = 0;
    RECT column[kMaxListColumns] = {};
};

// What a list item needs from whoever owns it (a list or a combo).
class IListOwnerUI {
public:
    virtual UIListInfo* GetListInfo() = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    // Events that items hand on (keys, the wheel, mouse on inert items).
    virtual void DoEvent(UIEvent& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CContainerUI* GetList() const = 0;

protected:
    ~IListUI() = default;
};

class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    // Sets the selected look only; the owner's SelectItem does the rest.
    virtual bool Select(bool selected = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC hdc, const RECT& rc) = 0;

protected:
    ~IListItemUI() = default;
};

// The item attributes shared by the list and the combo; false when name is
// not one of them.
bool ApplyListInfoAttribute(UIListInfo& info, const wchar_t* name, const wchar_t* value);

// The scrolling part of a list that holds its items.
class CListBodyUI : public CVerticalLayoutUI {};

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    SIZE MeasureSize(SIZE available) override;
};

class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    // IContainerUI: items live in the body, header items in the header.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    // IListUI
    UIListInfo* GetListInfo() override { return &info_; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false) override;
    void DoEvent(UIEvent& event) override { HandleEvent(event); }
    CListHeaderUI* GetHeader() const override { return header_; }
    CContainerUI* GetList() const override;
    CListBodyUI* GetBody() const { return body_; }
    int GetColumnCount() const { return info_.columns; }

    // Scrolls the body so that the item is inside it.
    void EnsureVisible(int index);

    void SetPosition(RECT rc) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos) override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

private:
    void Renumber(int from);
    // The next selectable item from index in direction step, or -1.
    int FindSelectable(int index, int step) const;

    CListHeaderUI* header_ = nullptr;
    CListBodyUI* body_ = nullptr;
    UIListInfo info_;
    int curSel_ = -1;
    bool scrollSelect_ = false;
};

class CListHeaderItemUI : public CControlUI {
public:
    CListHeaderItemUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override { return IsEnabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

    SIZE MeasureSize(SIZE available) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

private:
    RECT SeparatorRect() const;

    bool dragable_ = true;
    int sepWidth_ = 4;
    UINT textStyle_ = DT_VCENTER | DT_CENTER | DT_SINGLELINE;
    int font_ = -1;
    DWORD textColor_ = 0;
    RECT textPadding_ = {2, 0, 2, 0};
    bool showHtml_ = false;
    StateImages images_;  // the header item takes no disabled image
    CUIString sepImage_;
    bool hot_ = false;
    bool pushed_ = false;
    bool dragging_ = false;
    POINT lastMouse_ = {0, 0};
};

}  // namespace UiKit
