// A soft drop shadow for a frameless window: a layered, click-through popup
// owned by the parent that follows it by subclassing its window procedure.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "frame/wnd_shadow_image.h"

// The window's shape as row spans: its window region, or its whole rectangle.
std::vector<ShadowImage::Span> ReadWindowSpans(HWND wnd, int width, int height);

class CWndShadow {
public:
    CWndShadow();
    // Unhooks a parent that outlives its shadow object.
    virtual ~CWndShadow();

    // Once per process: finds UpdateLayeredWindow and registers the class.
    // False when already done or when layered windows are not available.
    static bool Initialize(HINSTANCE instance);
    // Undoes Initialize once no shadow window is left (the UI thread's end).
    static void Uninitialize();
    static bool Supported();

    void Create(HWND parent);
    void Show(HWND parent);
    // Rebuilds the image from the parent's shape and places the shadow.
    void Update(HWND parent);

    HWND GetHWND() const { return shadow_; }
    bool IsShadowVisible() const { return (status_ & kVisible) != 0; }
    // How often the image was rebuilt: rebuilding is the costly part.
    unsigned ImageBuilds() const { return imageBuilds_; }

private:
    enum : uint8_t { kEnabled = 0x01, kVisible = 0x02, kParentVisible = 0x04 };

    static LRESULT CALLBACK ParentProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    bool OnParentMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    void OnParentSize(HWND parent, WPARAM wp, LPARAM lp);
    void HideShadow();

    HWND shadow_;
    WNDPROC parentProc_ = nullptr;
    uint8_t status_ = 0;
    uint8_t darkness_ = 100;
    uint8_t sharpness_ = 7;
    int8_t size_ = 7;
    int8_t xOffset_ = 0;
    int8_t yOffset_ = 0;
    LPARAM lastParentSize_ = 0;
    bool updatePending_ = false;
    COLORREF colour_ = RGB(0, 0, 0);
    unsigned imageBuilds_ = 0;
};
