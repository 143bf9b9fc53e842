// The toolkit's wrapper of one Win32 window: class registration (own class
// or superclass of a system class), the binding of the window procedure to
// the object, subclassing, creation, modal running and placement.
#pragma once
#include <windows.h>

namespace UiKit {

class CWindowWnd {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetWindowHandle() const { return hwnd_; }
    HWND GetHWND() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    bool RegisterWindowClass();
    // Unregisters every class the toolkit registered. A DLL's classes outlive
    // its unloading and would point into code that is gone; the plug-in calls
    // this when its last window has been destroyed.
    static void UnregisterWindowClasses();
    bool RegisterSuperclass();
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu = nullptr);
    // Takes over an existing window's procedure.
    HWND Subclass(HWND window);
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Runs until the window is gone; the result is the wParam of the
    // WM_CLOSE that ended it (0 when it ended otherwise). The object may be
    // deleted by its window's last message; the loop does not touch it then.
    UINT ShowModal();
    // Posts WM_CLOSE with wParam = code while the window exists.
    void Close(UINT code = IDOK);
    void CenterWindow();
    void SetIcon(UINT resourceId);
    void ResizeClient(int cx = -1, int cy = -1);

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    // Slot order matters to derived windows: class name, superclass, class
    // style, message handler, after-destroy hook.
    virtual const wchar_t* WindowClassName() const = 0;
    virtual const wchar_t* SuperClassName() const { return nullptr; }
    virtual UINT ClassStyle() const { return 0; }
    // The base passes the message to the previous window procedure.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // After the window's last message (WM_NCDESTROY); the object may delete
    // itself here.
    virtual void OnNcDestroyed(HWND window) { (void)window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC oldWndProc_ = ::DefWindowProcW;
    bool subclassed_ = false;

private:
    // Where a window keeps its object: a window of the toolkit's own class
    // in its user data; a superclassed system window in a property, leaving
    // the user data to the system class.
    enum class ObjectSlot { UserData, Property };
    // The work of both procedures: binds the object on WM_NCCREATE, finds it
    // for every later message, lets it go after WM_NCDESTROY.
    static LRESULT RouteMessage(ObjectSlot slot, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace UiKit
