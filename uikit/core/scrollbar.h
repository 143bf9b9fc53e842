// The scroll bar of containers: two buttons, a rail and a thumb, each with
// normal, hot, pushed and disabled images. Dragging the thumb or clicking the
// buttons and the rail scrolls the owner; without an owner it sends "scroll".
#pragma once
#include "uikit/core/control.h"

namespace UiKit {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    CContainerUI* GetOwner() const { return owner_; }
    void SetOwner(CContainerUI* owner) { owner_ = owner; }
    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return range_; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return pos_; }
    void SetScrollPos(int pos);
    int GetLineSize() const { return lineSize_; }
    void SetLineSize(int size) { lineSize_ = size; }

    void SetEnabled(bool enabled = true) override;
    void SetPosition(RECT rc) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void Paint(HDC hdc, const RECT& paint) override;

    RECT GetThumbRect() const { return rcThumb_; }
    RECT GetButton1Rect() const { return rcButton1_; }
    RECT GetButton2Rect() const { return rcButton2_; }

protected:
    enum Part { kNone, kButton1, kButton2, kThumb, kRail };
    // Images by part, each with normal, hot, pushed and disabled states.
    struct PartImages {
        CUIString normal, hot, pushed, disabled;
    };
    void ScrollBy(int delta);
    void PaintPart(HDC hdc, const RECT& rc, const PartImages& images, Part part);
    Part HitTest(POINT pt) const;

    CContainerUI* owner_ = nullptr;
    bool horizontal_ = false;
    int range_ = 100;
    int pos_ = 0;
    int lineSize_ = 8;
    bool showButton1_ = true;
    bool showButton2_ = true;
    RECT rcButton1_ = {0, 0, 0, 0};
    RECT rcButton2_ = {0, 0, 0, 0};
    RECT rcThumb_ = {0, 0, 0, 0};
    Part hot_ = kNone;
    Part pressed_ = kNone;
    POINT dragStart_ = {0, 0};
    int dragStartPos_ = 0;
    PartImages button1_, button2_, thumb_, rail_, bk_;
};

}  // namespace UiKit
