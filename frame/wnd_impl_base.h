// The base of every top-level window built from skin markup: a frameless
// window whose caption, size box and rounded corners come from its skin.
#pragma once
#include <windows.h>

#include <string>

#include "frame/window_probe.h"
#include "frame/wnd_shadow.h"
#include "uikit/core/skin_builder.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

class CWndImplBase : public UiKit::CWindowWnd,
                     public UiKit::INotifyUI,
                     public UiKit::IMessageFilterUI,
                     public UiKit::IDialogBuilderCallback {
public:
    CWndImplBase();
    ~CWndImplBase() override;

    UiKit::CUIWindowManager& Manager() { return manager_; }

    // The hit-test rule of a frameless skinned window, on client coordinates.
    static LRESULT HitTest(POINT pt, const RECT& client, const RECT& sizeBox, const RECT& caption, bool maximized,
                           const wchar_t* controlClassAtPoint);

    // The process-wide copy of the skin package resource: made by the first
    // window, freed by the UI thread after the toolkit released the package.
    static void FreePackageCopy();

protected:
    // Slots after the toolkit window's own, in this order.
    UINT ClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNcDestroyed(HWND window) override;
    virtual void OnWindowBuilt() {}
    virtual LRESULT OnClose(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnDestroy(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnNcActivate(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnNcPaint(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnNcHitTest(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnMouseWheel(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnNotifyMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnSize(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnSysCommand(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnKeyDown(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnSetFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual LRESULT OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    virtual std::wstring SkinFolder() const;
    virtual const wchar_t* MarkupFileName() const = 0;
    // Enter and Escape reach the window here first; nonzero consumes the key.
    virtual LRESULT OnDialogKey(WPARAM key, LPARAM lp);
    // The probe message's answer for the named control (frame/window_probe.h).
    virtual void AnswerProbe(const wchar_t* name, ControlProbe* probe);

public:
    // The test build of the plug-in installs a hook that sees every message
    // first and answers the probe; the shipped plug-in has none, so no other
    // process can make it write through a pointer. True: answered.
    using MessageHook = bool (*)(CWndImplBase& window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    static void SetMessageHook(MessageHook hook);
    // The test build's hook (defined there only).
    static bool AnswerProbeMessage(CWndImplBase& window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:

    // INotifyUI is left to the derived window.
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    UiKit::CControlUI* CreateControl(const wchar_t* elementName) override;

    UiKit::CUIWindowManager manager_;
    CWndShadow shadow_;

private:
    static bool InstallPackageFromResource();
};
