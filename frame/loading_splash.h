// The small borderless window shown while a score loads. It runs on a thread
// of its own with its own message loop, so it keeps painting while the
// user-interface thread is busy inside the score engine.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

namespace Gdiplus {
class Image;
}

class CLoadingSplash {
public:
    // Unregisters the splash window class once no splash is left.
    static void UnregisterClass(HINSTANCE instance);
    explicit CLoadingSplash(HWND parent);
    ~CLoadingSplash();
    CLoadingSplash(const CLoadingSplash&) = delete;
    CLoadingSplash& operator=(const CLoadingSplash&) = delete;

    // Area in the parent's client coordinates; empty means the whole parent.
    void SetTargetRect(const RECT& rc) { target_ = rc; }
    // Keeps a copy of the first image given (the caller keeps its own); a
    // non-empty text becomes the waiting text of every splash.
    void SetImageAndText(Gdiplus::Image* image, const std::wstring& text);
    // Starts the thread and waits up to 5 s for the window; on a running
    // splash only nudges its thread.
    void Show();
    // Closes the window, waits up to 9 s for the thread, drops the image.
    void Hide();

    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }
    bool HasImage() const { return image_ != nullptr; }

    // The process-wide waiting text (last non-empty one set).
    static std::wstring WaitingText();
    // What the loader shows: the language's "ID_WND_WAITING_TIP", or
    // "Loading....." when the language file has none.
    static std::wstring WaitingTipText();
    // Resource "PNG" id of module decoded by GDI+; null when missing or broken.
    static Gdiplus::Image* LoadImageResource(HMODULE module, int id = 110);
    // Top-left corner that centres size over area (halves rounded toward zero).
    static POINT CentreOver(const RECT& area, SIZE size);

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    DWORD RunThread();
    RECT PlacementArea() const;
    void Paint(HWND wnd);

    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HANDLE started_ = nullptr;
    Gdiplus::Image* image_ = nullptr;
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> closing_{false};
    HWND parent_ = nullptr;
    RECT target_ = {0, 0, 0, 0};
};
