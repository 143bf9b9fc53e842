// List items: a plain element, a one-text element, a text-per-column
// element with links, and a container element that holds controls of its
// own. Each paints its row from its owner's item appearance record and
// tells its owner when it is clicked.
#pragma once
#include <vector>

#include "uikit/controls/list.h"
#include "uikit/controls/text_render.h"

namespace UiKit {

// The row background shared by every kind of item: state images, then the
// item's or the list's background image, then a colour by state, then the
// separating line.
void DrawListItemBackground(CControlUI* item, HDC hdc, IListOwnerUI* owner, int index, bool selected, bool hot);

// What every kind of list item keeps (its place in the list, its owner, the
// selected and hot states) and the handling they share, over a plain control
// or over a container.
template <class Base>
class CListItemBase : public Base, public IListItemUI {
public:
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override { return UIFLAG_WANTRETURN; }

    int GetIndex() const override { return index_; }
    void SetIndex(int index) override { index_ = index; }
    IListOwnerUI* GetOwner() override { return owner_; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return selected_; }
    bool Select(bool selected = true) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool expand = true) override;
    void DrawItemText(HDC hdc, const RECT& rc) override { (void)hdc, (void)rc; }

    bool IsHot() const { return hot_; }
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The item background replaces the plain background image.
    void PaintBkImage(HDC hdc) override { (void)hdc; }
    void PaintStatusImage(HDC hdc) override;

protected:
    // The mouse events a kind of item treats its own way (presses differ
    // between the kinds); true when the event was used up. Called only
    // when the item takes mouse input.
    virtual bool HandleItemMouse(UIEvent& event) {
        (void)event;
        return false;
    }
    // Tells the owner the item was clicked (notify names the notification)
    // and selects it.
    void ClickSelect(const wchar_t* notify);

    int index_ = -1;
    IListOwnerUI* owner_ = nullptr;
    bool selected_ = false;
    bool hot_ = false;
};

extern template class CListItemBase<CControlUI>;
extern template class CListItemBase<CContainerUI>;

class CListElementUI : public CListItemBase<CControlUI> {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

protected:
    // Picks the text colour of the current state from the owner's record.
    DWORD ItemTextColor() const;
};

class CListLabelElementUI : public CListElementUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    SIZE MeasureSize(SIZE available) override;
    void PaintText(HDC hdc) override;
    void DrawItemText(HDC hdc, const RECT& rc) override;

protected:
    bool HandleItemMouse(UIEvent& event) override;
};

class CListTextElementUI : public CListLabelElementUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // One text per header column; column 0 falls back to the item's text.
    CUIString GetText(int column) const;
    void SetText(int column, const CUIString& text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    const std::vector<TextLink>& Links() const { return links_; }

    void HandleEvent(UIEvent& event) override;
    void DrawItemText(HDC hdc, const RECT& rc) override;

private:
    int LinkAt(POINT pt) const;

    std::vector<CUIString> texts_;
    std::vector<TextLink> links_;
    int hotLink_ = -1;
};

class CListContainerElementUI : public CListItemBase<CContainerUI> {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

protected:
    bool HandleItemMouse(UIEvent& event) override;
};

}  // namespace UiKit
