// Button: a label with state images (normal, hot, pushed, focused,
// disabled) that sends "click" when released over itself. Option: a button
// that stays selected, alone or in a named group of options.
#pragma once
#include "uikit/controls/control_helpers.h"
#include "uikit/controls/label_text.h"

namespace UiKit {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    bool IsHot() const { return hot_; }
    bool IsPushed() const { return pushed_; }
    bool IsHandCursor() const { return handCursor_; }

    StateImages& Images() { return images_; }
    StateImages& Icons() { return icons_; }

protected:
    // The image of set for the current state, falling back to the normal one.
    const CUIString& StateImage(const StateImages& set) const {
        return set.Pick(!IsEnabled(), pushed_, hot_, focused_);
    }
    DWORD StateTextColor() const;

    StateImages images_;
    StateImages icons_;
    DWORD hotTextColor_ = 0;
    DWORD pushedTextColor_ = 0;
    DWORD focusedTextColor_ = 0;
    bool handCursor_ = true;
    bool hot_ = false;
    bool pushed_ = false;    // the button is held down over the button
    bool captured_ = false;  // the press began on the button
};

class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    void SetManager(CUIWindowManager* manager, CControlUI* parent, bool init = true) override;
    bool Activate() override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    const CUIString& GetGroup() const { return group_; }
    void SetGroup(const CUIString& group);
    bool IsSelected() const { return selected_; }
    // Selecting a grouped option silently deselects the others of its group
    // and sends "selectchanged"; an ungrouped option sends it on every change.
    void Selected(bool selected);

private:
    void JoinGroup();
    void LeaveGroup();

    CUIString group_;
    bool selected_ = false;
    CUIString selectedImage_;
    CUIString selectedIcon_;
    CUIString foreImage_;
    DWORD selectedTextColor_ = 0;
    CUIWindowManager* groupManager_ = nullptr;  // where the group is registered
};

}  // namespace UiKit
