// The base of every control: position and size rules, common attributes,
// painting in steps, event handling and the manager it belongs to.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "uikit/core/ui_events.h"
#include "uikit/markup/ui_string.h"

namespace UiKit {

class CUIWindowManager;
class CControlUI;

// FindControl visits the subtree and returns the first non-null result of
// the predicate.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);
enum UIFindFlags : UINT {
    UIFIND_ALL = 0x00000000,
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,   // data is a POINT*: the control must contain it
    UIFIND_TOP_FIRST = 0x00000008, // children are tried last first
    UIFIND_ME_FIRST = 0x80000000,  // the container itself before its children
};

// What a control asks of the manager (GetControlFlags).
enum UIControlFlags : UINT {
    UIFLAG_TABSTOP = 0x01,   // Tab moves the focus onto it
    UIFLAG_SETCURSOR = 0x02, // receives UIEVENT_SETCURSOR
    UIFLAG_WANTRETURN = 0x04,
    UIFLAG_WANTTAB = 0x08,   // Tab goes to it instead of moving the focus
};

struct RelativePos {
    bool relative = false;
    SIZE moveXY = {0, 0};  // percent of the parent's size change
    SIZE zoomXY = {0, 0};
    SIZE parentSize = {0, 0};  // size at the first layout; (0,0) until then
};

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Identity.
    virtual CUIString GetName() const { return name_; }
    virtual void SetName(const CUIString& name) { name_ = name; }
    virtual const wchar_t* GetClassName() const;
    virtual void* FindInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const { return 0; }

    // Tree.
    virtual CUIWindowManager* GetManager() const { return manager_; }
    // Attaches to a manager (or detaches with nullptr); init runs DoInit once.
    virtual void SetManager(CUIWindowManager* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const { return parent_; }
    // Called once when first attached with initialisation.
    virtual void DoInit() {}

    virtual bool Activate();
    virtual CUIString GetText() const { return text_; }
    virtual void SetText(const CUIString& text);
    virtual CUIString GetToolTip() const { return tooltip_; }
    virtual void SetToolTip(const CUIString& text) { tooltip_ = text; }
    virtual wchar_t GetShortcut() const { return shortcut_; }
    virtual void SetShortcut(wchar_t ch) { shortcut_ = ch; }
    virtual bool IsContextMenuUsed() const { return menuUsed_; }
    virtual void SetContextMenuUsed(bool used) { menuUsed_ = used; }
    virtual const CUIString& GetUserData() const { return userData_; }
    virtual void SetUserData(const CUIString& data) { userData_ = data; }
    virtual UINT_PTR GetTag() const { return tag_; }
    virtual void SetTag(UINT_PTR tag) { tag_ = tag; }

    // Geometry. The position is in client coordinates of the window.
    virtual const RECT& GetPosition() const { return rcItem_; }
    virtual void SetPosition(RECT rc);
    // The part of the position its layout lets be seen: cut by each parent's
    // clip (its inner rectangle, or its whole position for a floating child)
    // up to the first parent that scrolls. Empty when nothing of it shows.
    RECT VisibleRect() const;
    virtual int GetWidth() const { return rcItem_.right - rcItem_.left; }
    virtual int GetHeight() const { return rcItem_.bottom - rcItem_.top; }
    virtual RECT GetPadding() const { return rcPadding_; }
    virtual void SetPadding(RECT rc);
    virtual SIZE GetFixedXY() const { return cXY_; }
    virtual void SetFixedXY(SIZE xy);
    virtual int GetFixedWidth() const { return cxyFixed_.cx; }
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const { return cxyFixed_.cy; }
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const { return cxyMin_.cx; }
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const { return cxyMax_.cx; }
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const { return cxyMin_.cy; }
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const { return cxyMax_.cy; }
    virtual void SetMaxHeight(int cy);
    virtual RelativePos GetRelativePos() const { return relativePos_; }
    virtual void SetRelativePos(SIZE move, SIZE zoom);
    virtual void SetRelativeParentSize(SIZE size) { relativePos_.parentSize = size; }
    virtual bool IsRelativePos() const { return relativePos_.relative; }
    // The size the control wants in an available size; 0 on an axis means
    // "give me what is left".
    virtual SIZE MeasureSize(SIZE available);

    // State.
    virtual bool IsVisible() const { return visible_ && internVisible_; }
    virtual void SetVisible(bool visible = true);
    // Set by containers on hidden subtrees.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const { return mouseEnabled_; }
    virtual void SetMouseEnabled(bool enabled = true) { mouseEnabled_ = enabled; }
    virtual bool IsKeyboardEnabled() const { return keyboardEnabled_; }
    virtual void SetKeyboardEnabled(bool enabled = true) { keyboardEnabled_ = enabled; }
    virtual bool IsFocused() const { return focused_; }
    virtual void SetFocus();
    virtual bool IsFloat() const { return float_; }
    virtual void SetFloat(bool isFloat = true);

    // Colours and images.
    DWORD GetBkColor() const { return bkColor_; }
    void SetBkColor(DWORD c);
    DWORD GetBkColor2() const { return bkColor2_; }
    void SetBkColor2(DWORD c);
    DWORD GetBkColor3() const { return bkColor3_; }
    void SetBkColor3(DWORD c);
    const CUIString& GetBkImage() const { return bkImage_; }
    void SetBkImage(const CUIString& image);
    DWORD GetBorderColor() const { return borderColor_; }
    void SetBorderColor(DWORD c);
    DWORD GetFocusBorderColor() const { return focusBorderColor_; }
    void SetFocusBorderColor(DWORD c);
    int GetBorderSize() const { return borderSize_; }
    void SetBorderSize(int size);
    SIZE GetBorderRound() const { return borderRound_; }
    void SetBorderRound(SIZE round);
    bool IsColorHSL() const { return colorHSL_; }
    void SetColorHSL(bool hsl) { colorHSL_ = hsl; }

    // Lookup.
    virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);

    // Layout and painting.
    void Invalidate();
    // Only part of the control (window coordinates) needs painting again.
    void InvalidatePart(const RECT& part);
    bool IsUpdateNeeded() const { return updateNeeded_; }
    // Lays this control out again at the next paint.
    void RequestLayout();
    void RequestParentLayout();
    virtual void Paint(HDC hdc, const RECT& paint);
    virtual void PaintBkColor(HDC hdc);
    virtual void PaintBkImage(HDC hdc);
    virtual void PaintStatusImage(HDC hdc) { (void)hdc; }
    virtual void PaintText(HDC hdc) { (void)hdc; }
    virtual void PaintBorder(HDC hdc);
    // Draws an image description into the control (dest relative to its
    // top-left corner); false when an image could not be found.
    bool DrawImage(HDC hdc, const CUIString& description, const CUIString& modify = CUIString());

    // Events and attributes.
    virtual void HandleEvent(UIEvent& event);
    virtual void ApplyAttribute(const wchar_t* name, const wchar_t* value);
    // name="value" items separated by single spaces.
    void ApplyAttributeList(const wchar_t* list);

    // The control's own listeners: called before the manager's notifiers.
    using Listener = std::function<void(UINotify&)>;
    void AddListener(Listener listener) { listeners_.push_back(std::move(listener)); }
    const std::vector<Listener>& Listeners() const { return listeners_; }

protected:
    // Disabled or mouse-disabled controls hand mouse events to their parent;
    // true when the event was handed on.
    bool ForwardMouseIfInert(UIEvent& event);

    // The rectangle for painting children or text: the paint clip while a
    // Paint runs.
    RECT paintRect_ = {0, 0, 0, 0};

    CUIWindowManager* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CUIString name_;
    CUIString text_;
    CUIString tooltip_;
    CUIString userData_;
    UINT_PTR tag_ = 0;
    RECT rcItem_ = {0, 0, 0, 0};
    RECT rcPadding_ = {0, 0, 0, 0};
    SIZE cXY_ = {0, 0};
    SIZE cxyFixed_ = {0, 0};
    SIZE cxyMin_ = {0, 0};
    SIZE cxyMax_ = {99999, 99999};
    RelativePos relativePos_;
    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool focused_ = false;
    bool float_ = false;
    bool menuUsed_ = false;
    bool colorHSL_ = false;
    bool updateNeeded_ = true;
    bool initialised_ = false;
    wchar_t shortcut_ = 0;
    DWORD bkColor_ = 0;
    DWORD bkColor2_ = 0;
    DWORD bkColor3_ = 0;
    DWORD borderColor_ = 0;
    DWORD focusBorderColor_ = 0;
    int borderSize_ = 1;
    SIZE borderRound_ = {0, 0};
    CUIString bkImage_;
    std::vector<Listener> listeners_;
};

}  // namespace UiKit
