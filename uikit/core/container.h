// Containers: controls that own child controls and place them, with an
// inset, child padding and optional scroll bars.
#pragma once
#include <vector>

#include "uikit/core/control.h"

namespace UiKit {

class CScrollBarUI;

// What the builder and the windows use to add children ("IContainer").
class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    // IContainerUI. Children are owned; Remove deletes them unless
    // auto-destroy is off.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    virtual RECT GetInset() const { return rcInset_; }
    virtual void SetInset(RECT rc);
    virtual int GetChildPadding() const { return childPadding_; }
    virtual void SetChildPadding(int padding);
    virtual bool IsAutoDestroy() const { return autoDestroy_; }
    virtual void SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
    virtual bool IsMouseChildEnabled() const { return mouseChild_; }
    virtual void SetMouseChildEnabled(bool enable = true) { mouseChild_ = enable; }

    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetManager(CUIWindowManager* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
    // The first control in the subtree named name, without regard to case.
    CControlUI* FindSubControl(const wchar_t* name);

    // Places the control; the base container gives each child the whole
    // inner rectangle. Layouts override it.
    void SetPosition(RECT rc) override;
    void Paint(HDC hdc, const RECT& paint) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    // Scrolling.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const { return vScroll_; }
    virtual CScrollBarUI* GetHorizontalScrollBar() const { return hScroll_; }
    // The inner rectangle: the position less the inset and visible scroll
    // bars. Children other than floating ones are clipped to it.
    RECT InnerRect() const;

protected:
    // Places a floating child by its fixed position or relative position.
    virtual void SetFloatPos(int index);
    // Shows the scroll bars for the needed extent and places them.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);
    int LineSize() const;
    void ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* list);

    std::vector<CControlUI*> items_;
    RECT rcInset_ = {0, 0, 0, 0};
    int childPadding_ = 0;
    bool autoDestroy_ = true;
    bool delayedDestroy_ = true;
    bool mouseChild_ = true;
    CScrollBarUI* vScroll_ = nullptr;
    CScrollBarUI* hScroll_ = nullptr;
};

}  // namespace UiKit
