// One per toolkit window: holds the control tree, turns window messages into
// control events and control events into notifications, runs control timers
// and owns the window's skin resources and window properties.
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "uikit/core/control.h"
#include "uikit/core/control_timers.h"
#include "uikit/core/skin_resources.h"
#include "uikit/core/ui_events.h"
#include "uikit/markup/image_loader.h"
#include "uikit/markup/ui_string.h"

namespace UiKit {

class CUIWindowManager {
public:
    CUIWindowManager();
    ~CUIWindowManager();
    CUIWindowManager(const CUIWindowManager&) = delete;
    CUIWindowManager& operator=(const CUIWindowManager&) = delete;

    // Takes the window and joins the process-wide list.
    void Init(HWND window);
    HWND GetPaintWindow() const { return window_; }
    HDC GetPaintDC() const { return paintDC_; }
    POINT GetMousePos() const { return lastMouse_; }
    SIZE GetClientSize() const;

    // The control tree.
    bool AttachRoot(CControlUI* root);
    CControlUI* GetRoot() const { return root_; }
    // Gives every control of a subtree this manager and its parent,
    // initialises it and registers its name.
    void InitControls(CControlUI* control, CControlUI* parent = nullptr);
    // Forgets a control that is removed or destroyed.
    void ReapObjects(CControlUI* control);
    // Queued for deletion after the current message (a control that removes
    // itself while handling an event).
    void AddDelayedCleanup(CControlUI* control);

    CControlUI* FindControl(const CUIString& name) const;
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const CUIString& name) const;
    std::vector<CControlUI*> FindSubControlsByClass(CControlUI* parent, const CUIString& className) const;
    void RegisterName(CControlUI* control);

    // Focus and input state.
    CControlUI* GetFocus() const { return focus_; }
    void SetFocus(CControlUI* control);
    // Moves the focus to the next (or previous) tab stop, wrapping around.
    bool SetNextTabControl(bool forward = true);
    CControlUI* GetHotControl() const { return hot_; }
    CControlUI* GetClickControl() const { return click_; }

    // Control timers, on this window.
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT timerId) { return timers_.Kill(control, timerId); }
    void RemoveAllTimers() { timers_.RemoveAll(); }
    // The Windows timer id of a control's timer, 0 with found = false when none.
    UINT GetTimerWindowsId(CControlUI* control, UINT timerId, bool* found = nullptr) const {
        return timers_.WindowsId(control, timerId, found);
    }

    // Listeners and notifications.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    void SendNotify(CControlUI* sender, const CUIString& type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotify(UINotify& msg, bool async = false);

    // Option groups (options of one group deselect each other).
    void AddOptionGroup(const CUIString& group, CControlUI* control);
    const std::vector<CControlUI*>* GetOptionGroup(const CUIString& group) const;
    void RemoveOptionGroup(const CUIString& group, CControlUI* control);

    // Painting.
    void Invalidate(const RECT& rc);
    void NeedUpdate() { layoutNeeded_ = true; }
    bool IsLayoutNeeded() const { return layoutNeeded_; }
    // True while the tree is being laid out before a paint: the whole client
    // area is repainted afterwards, so single controls need not invalidate.
    bool IsInLayout() const { return inLayout_; }
    void SetOffscreenPaint(bool on) { offscreen_ = on; }
    bool IsOffscreenPaint() const { return offscreen_; }
    // The bitmap of the last offscreen paint (for checks of what was drawn).
    HBITMAP GetOffscreenBitmap() const { return offscreenBitmap_; }
    HWND GetToolTipWindow() const { return toolTip_; }

    // Messages. True when the message was consumed; result holds its result.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Pre-translation for the message loops: filters and keyboard rules.
    bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Offers a message to every manager of its window (or of the parent of a
    // child window); true when one consumed it.
    static bool TranslateMessage(const MSG* msg);
    static void MessageLoop();
    static const std::vector<CUIWindowManager*>& Managers();

    // The skin: fonts, images and default attribute lists. The calls below
    // are the ones controls make most and hand over to it.
    CSkinResources& Skin() { return skin_; }
    unsigned long long SkinSerial() const { return skin_.Serial(); }
    int GetFontCount() const { return skin_.GetFontCount(); }
    // A number outside the table (searching parent managers) is the default font.
    HFONT GetFont(int index) { return skin_.GetFont(index); }
    UIFontInfo* GetFontInfo(int index) { return skin_.GetFontInfo(index); }
    UIFontInfo* GetFontInfo(HFONT font) { return skin_.GetFontInfo(font); }
    UIFontInfo* GetDefaultFontInfo() { return skin_.GetDefaultFontInfo(); }
    HFONT GetDefaultFont() { return GetDefaultFontInfo()->font; }
    const UIImageInfo* GetImageEx(const CUIString& name, const CUIString& resType = CUIString(), DWORD mask = 0) {
        return skin_.GetImageEx(name, resType, mask);
    }
    const UIImageInfo* AddImage(const CUIString& name, const CUIString& resType = CUIString(), DWORD mask = 0) {
        return skin_.AddImage(name, resType, mask);
    }
    void ReplaceImage(const CUIString& name, UIImageInfo image) { skin_.ReplaceImage(name, image); }
    CUIString GetDefaultAttributeList(const CUIString& element) const {
        return skin_.GetDefaultAttributeList(element);
    }
    // What this window's skin lacks is looked up in the parent's.
    void SetParentResourceManager(CUIWindowManager* parent);
    CUIWindowManager* GetParentResourceManager() const { return parentResource_; }

    // Window properties of the "Window" element.
    SIZE GetInitSize() const { return initSize_; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return sizeBox_; }
    void SetSizeBox(RECT rc) { sizeBox_ = rc; }
    RECT GetCaptionRect() const { return caption_; }
    void SetCaptionRect(RECT rc) { caption_ = rc; }
    SIZE GetRoundCorner() const { return roundCorner_; }
    void SetRoundCorner(int cx, int cy) { roundCorner_ = SIZE{cx, cy}; }
    SIZE GetMinInfo() const { return minInfo_; }
    void SetMinInfo(int cx, int cy) { minInfo_ = SIZE{cx, cy}; }
    SIZE GetMaxInfo() const { return maxInfo_; }
    void SetMaxInfo(int cx, int cy) { maxInfo_ = SIZE{cx, cy}; }
    bool IsShowUpdateRect() const { return showDirty_; }
    void SetShowUpdateRect(bool show) { showDirty_ = show; }
    void SetTransparent(int alpha);
    void SetTransparentColor(DWORD color);
    bool IsBackgroundTransparent() const { return bkTrans_; }
    void SetBackgroundTransparent(bool trans) { bkTrans_ = trans; }
    DWORD GetDefaultDisabledColor() const { return disabledColor_; }
    void SetDefaultDisabledColor(DWORD c) { disabledColor_ = c; }
    DWORD GetDefaultFontColor() const { return fontColor_; }
    void SetDefaultFontColor(DWORD c) { fontColor_ = c; }
    DWORD GetDefaultLinkFontColor() const { return linkColor_; }
    void SetDefaultLinkFontColor(DWORD c) { linkColor_ = c; }
    DWORD GetDefaultLinkHoverFontColor() const { return linkHoverColor_; }
    void SetDefaultLinkHoverFontColor(DWORD c) { linkHoverColor_ = c; }
    DWORD GetDefaultSelectedBkColor() const { return selectedColor_; }
    void SetDefaultSelectedBkColor(DWORD c) { selectedColor_ = c; }
    // Applies one attribute of the "Window" element.
    void ApplyWindowAttribute(const wchar_t* name, const wchar_t* value);

    // Posted to the window to deliver queued notifications and delete
    // controls removed during a message; the manager consumes it. A
    // registered message, so that it never meets a window's own WM_APP ones.
    static UINT FlushMessage();

private:
    UIEvent MakeEvent(int kind, CControlUI* sender, WPARAM wParam, LPARAM lParam) const;
    void FlushDelayedCleanup();
    std::vector<CControlUI*> TabStops() const;
    CControlUI* FirstTabStop() const;

    // manager_input.cpp: one handler per message, found through the table
    // there; true when the message is consumed.
    using MessageHandler = bool (CUIWindowManager::*)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    struct MessageRoute {
        UINT msg;
        MessageHandler handler;
    };
    static const MessageRoute* FindRoute(UINT msg);
    CControlUI* OwnControlAt(POINT pt) const;
    bool OnEraseBackground(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPaintMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSize(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnTimer(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnClose(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnKeyDownOrChar(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnKeyUp(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnContextMenu(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ShowToolTip(CControlUI* control);
    void HideToolTip();
    // manager_paint.cpp
    void OnPaint();
    void PaintTree(HDC hdc, const RECT& paint);
    void CaptureBackground();

    void FlushAsyncNotify();
    void DeliverNotify(UINotify& msg);
    CControlUI* FindShortcutControl(wchar_t ch) const;

    HWND window_ = nullptr;
    HDC paintDC_ = nullptr;
    CControlUI* root_ = nullptr;
    CControlUI* focus_ = nullptr;
    CControlUI* hot_ = nullptr;
    CControlUI* click_ = nullptr;
    CControlUI* keyDown_ = nullptr;
    POINT lastMouse_ = {-1, -1};
    bool layoutNeeded_ = false;
    bool inLayout_ = false;
    bool windowInitPending_ = false;
    bool focusNeeded_ = false;
    bool offscreen_ = true;
    bool bkTrans_ = false;
    bool showDirty_ = false;
    bool mouseTracking_ = false;
    int messageDepth_ = 0;
    std::map<CUIString, CControlUI*> names_;
    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> preFilters_;
    std::vector<IMessageFilterUI*> filters_;
    std::deque<UINotify> asyncNotify_;
    std::vector<CControlUI*> delayedCleanup_;
    CControlTimers timers_;
    std::map<CUIString, std::vector<CControlUI*>> optionGroups_;

    HWND toolTip_ = nullptr;
    CControlUI* toolTipControl_ = nullptr;
    CUIString toolTipText_;
    UINT hoverTime_ = 400;

    HDC offscreenDC_ = nullptr;
    HBITMAP offscreenBitmap_ = nullptr;
    HBITMAP offscreenOld_ = nullptr;
    SIZE offscreenSize_ = {0, 0};
    HBITMAP background_ = nullptr;  // bktrans: the pixels under the window

    CSkinResources skin_;
    CUIWindowManager* parentResource_ = nullptr;

    SIZE initSize_ = {0, 0};
    RECT sizeBox_ = {0, 0, 0, 0};
    RECT caption_ = {0, 0, 0, 0};
    SIZE roundCorner_ = {0, 0};
    SIZE minInfo_ = {0, 0};
    SIZE maxInfo_ = {0, 0};
    DWORD disabledColor_ = 0xFFA7A6AA;
    DWORD fontColor_ = 0xFF000000;
    DWORD linkColor_ = 0xFF0000FF;
    DWORD linkHoverColor_ = 0xFFD3215F;
    DWORD selectedColor_ = 0xFFBAE4FF;
};

}  // namespace UiKit
