#include "frame/loading_splash.h"

#include <gdiplus.h>
#include <objidl.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>

#include "abi/module.h"
#include "frame/lang_table.h"

namespace {
const wchar_t kSplashClass[] = L"CMelvaneSplashWnd";

struct WaitingTextStore {
    std::mutex lock;
    std::wstring text;
};
WaitingTextStore& WaitingStore() {
    static WaitingTextStore store;
    return store;
}

bool RegisterSplashClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(32512));
    wc.hCursor = LoadCursorW(nullptr, IDC_APPSTARTING);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kSplashClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void CLoadingSplash::UnregisterClass(HINSTANCE instance) { ::UnregisterClassW(kSplashClass, instance); }

namespace {
// "Ms Sans Serif" is a bitmap font that GDI+ may refuse: then its TrueType
// successor, another usual sans serif, or whatever sans serif is installed.
std::unique_ptr<Gdiplus::FontFamily> TextFontFamily() {
    for (const wchar_t* name : {L"Ms Sans Serif", L"Microsoft Sans Serif", L"Tahoma", L"Arial"}) {
        auto family = std::make_unique<Gdiplus::FontFamily>(name);
        if (family->IsAvailable()) return family;
    }
    Gdiplus::InstalledFontCollection installed;
    INT count = installed.GetFamilyCount(), found = 0;
    if (count <= 0) return nullptr;
    std::unique_ptr<Gdiplus::FontFamily[]> families(new Gdiplus::FontFamily[count]);
    installed.GetFamilies(count, families.get(), &found);
    for (INT i = 0; i < found; ++i) {
        WCHAR name[LF_FACESIZE] = {};
        families[i].GetFamilyName(name);
        if (std::wcsstr(name, L"Sans")) return std::unique_ptr<Gdiplus::FontFamily>(families[i].Clone());
    }
    return found > 0 ? std::unique_ptr<Gdiplus::FontFamily>(families[0].Clone()) : nullptr;
}
}  // namespace

CLoadingSplash::CLoadingSplash(HWND parent) : parent_(parent) {}

// A splash still up when its owner goes would leave the thread reading freed memory.
CLoadingSplash::~CLoadingSplash() { Hide(); }

void CLoadingSplash::SetImageAndText(Gdiplus::Image* image, const std::wstring& text) {
    if (!image_ && image) {
        image_ = image->Clone();
        // A failed copy would make a zero-sized window: treat it as no image.
        if (image_ && (image_->GetLastStatus() != Gdiplus::Ok || image_->GetWidth() == 0)) {
            delete image_;
            image_ = nullptr;
        }
    }
    if (!text.empty()) {
        WaitingTextStore& store = WaitingStore();
        std::lock_guard<std::mutex> guard(store.lock);
        store.text = text;
    }
}

std::wstring CLoadingSplash::WaitingText() {
    WaitingTextStore& store = WaitingStore();
    std::lock_guard<std::mutex> guard(store.lock);
    return store.text;
}

std::wstring CLoadingSplash::WaitingTipText() {
    std::wstring tip = GetLangText(L"ID_WND_WAITING_TIP");
    return tip.empty() ? L"Loading....." : tip;
}

Gdiplus::Image* CLoadingSplash::LoadImageResource(HMODULE module, int id) {
    HRSRC res = module ? FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG") : nullptr;
    HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    DWORD size = res ? SizeofResource(module, res) : 0;
    if (!bytes || size == 0) return nullptr;

    // GDI+ reads the stream lazily, so it gets a copy it owns with the stream.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    if (void* dest = GlobalLock(copy)) {
        std::memcpy(dest, bytes, size);
        GlobalUnlock(copy);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    Gdiplus::Image* image = Gdiplus::Image::FromStream(stream);
    stream->Release();
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    return image;
}

POINT CLoadingSplash::CentreOver(const RECT& area, SIZE size) {
    return POINT{(area.left + area.right) / 2 - size.cx / 2, (area.top + area.bottom) / 2 - size.cy / 2};
}

void CLoadingSplash::Show() {
    if (thread_) {
        PostThreadMessageW(threadId_, WM_ACTIVATE, 2, 0);
        return;
    }
    closing_ = false;
    started_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &CLoadingSplash::ThreadMain, this, 0, &threadId_);
    if (!thread_ || WaitForSingleObject(started_, 5000) != WAIT_OBJECT_0)
        OutputDebugStringW(L"Error starting SplashThread\n");
}

void CLoadingSplash::Hide() {
    if (thread_) {
        // The flag covers a window that appears only after this read.
        closing_ = true;
        if (HWND wnd = window_) PostMessageW(wnd, WM_CLOSE, 1, 0);
        if (WaitForSingleObject(thread_, 9000) != WAIT_OBJECT_0) TerminateThread(thread_, 2222);
        CloseHandle(thread_);
    }
    if (started_) CloseHandle(started_);
    thread_ = nullptr;
    started_ = nullptr;
    threadId_ = 0;
    window_ = nullptr;
    delete image_;
    image_ = nullptr;
}

DWORD WINAPI CLoadingSplash::ThreadMain(LPVOID self) { return static_cast<CLoadingSplash*>(self)->RunThread(); }

RECT CLoadingSplash::PlacementArea() const {
    RECT area = {};
    if (parent_) {
        if (IsRectEmpty(&target_)) {
            GetWindowRect(parent_, &area);
        } else {
            POINT corners[2] = {{target_.left, target_.top}, {target_.right, target_.bottom}};
            ClientToScreen(parent_, &corners[0]);
            ClientToScreen(parent_, &corners[1]);
            area = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        }
        return area;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info))
        area = info.rcMonitor;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

DWORD CLoadingSplash::RunThread() {
    if (!image_) return 0;
    HINSTANCE instance = ThisModule();
    if (!RegisterSplashClass(instance, &CLoadingSplash::WndProc)) {
        OutputDebugStringW(L"Unable to register class SplashWnd\n");
        return 0;
    }
    const SIZE size = {static_cast<LONG>(image_->GetWidth()), static_cast<LONG>(image_->GetHeight())};
    const POINT pos = CentreOver(PlacementArea(), size);
    HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kSplashClass, L"", WS_POPUP | WS_CLIPCHILDREN, pos.x, pos.y, size.cx,
                               size.cy, nullptr, nullptr, instance, nullptr);
    if (!wnd) {
        OutputDebugStringW(L"Unable to create SplashWnd\n");
        return 0;
    }
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    window_ = wnd;
    if (closing_) DestroyWindow(wnd);
    SetEvent(started_);

    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

LRESULT CALLBACK CLoadingSplash::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CLoadingSplash*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    switch (msg) {
    case WM_PAINT:
        self->Paint(wnd);
        return 0;
    case WM_CLOSE:
        DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

void CLoadingSplash::Paint(HWND wnd) {
    {
        Gdiplus::Graphics graphics(wnd);
        const INT width = static_cast<INT>(image_->GetWidth()), height = static_cast<INT>(image_->GetHeight());
        graphics.DrawImage(image_, 0, 0, width, height);
        const std::wstring text = WaitingText();
        if (!text.empty()) {
            if (std::unique_ptr<Gdiplus::FontFamily> family = TextFontFamily()) {
                Gdiplus::Font font(family.get(), 12, Gdiplus::FontStyleBold, Gdiplus::UnitPoint);
                Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF000000));
                graphics.DrawString(text.c_str(), -1, &font,
                                    Gdiplus::PointF(50.0f, static_cast<Gdiplus::REAL>(height - 34)), &brush);
            }
        }
    }
    ValidateRect(wnd, nullptr);
}
