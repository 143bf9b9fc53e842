#include "frame/wnd_shadow.h"

#include <map>
#include <vector>

#include "abi/dib_section.h"
#include "abi/module.h"

namespace {
using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

const wchar_t kShadowClass[] = L"DTShadowWnd";
UpdateLayeredWindowFn g_updateLayeredWindow = nullptr;
HINSTANCE g_instance = nullptr;
HMODULE g_dwmapi = nullptr;

// Parent window -> its shadow; shared by every shadow of the process on the
// user-interface thread.
std::map<HWND, CWndShadow*>& ParentMap() {
    static std::map<HWND, CWndShadow*> map;
    return map;
}

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif

}  // namespace

std::vector<ShadowImage::Span> ReadWindowSpans(HWND wnd, int width, int height) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    std::vector<ShadowImage::Span> spans;
    if (region && GetWindowRgn(wnd, region) != ERROR)
        spans = ShadowImage::ScanSpans(width, height, [region](int x, int y) { return PtInRegion(region, x, y) != 0; });
    else
        spans.assign(height > 0 ? height : 0, ShadowImage::Span{0, width});
    if (region) DeleteObject(region);
    return spans;
}

CWndShadow::CWndShadow() : shadow_(static_cast<HWND>(INVALID_HANDLE_VALUE)) {}

CWndShadow::~CWndShadow() {
    // Normally the parent's WM_NCDESTROY has removed the entry already; a
    // parent still alive here would otherwise call into a freed object.
    auto& map = ParentMap();
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (it->second != this) continue;
        HWND parent = it->first;
        map.erase(it);
        if (IsWindow(parent) && parentProc_ &&
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC)) == ParentProc)
            SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parentProc_));
        break;
    }
    if (shadow_ != INVALID_HANDLE_VALUE && IsWindow(shadow_)) DestroyWindow(shadow_);
}

bool CWndShadow::Initialize(HINSTANCE instance) {
    if (g_updateLayeredWindow) return false;
    g_updateLayeredWindow = GetProc<UpdateLayeredWindowFn>(GetModuleHandleW(L"USER32.DLL"), "UpdateLayeredWindow");
    if (!g_updateLayeredWindow) return false;
    // Kept loaded for the composition-change notifications; not used directly.
    g_dwmapi = LoadLibraryW(L"dwmapi.dll");
    g_instance = instance;

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClass;
    RegisterClassExW(&wc);
    return true;
}

void CWndShadow::Uninitialize() {
    if (!g_updateLayeredWindow) return;
    UnregisterClassW(kShadowClass, g_instance);
    if (g_dwmapi) FreeLibrary(g_dwmapi);
    g_dwmapi = nullptr;
    g_updateLayeredWindow = nullptr;
}

bool CWndShadow::Supported() { return g_updateLayeredWindow != nullptr; }

void CWndShadow::Create(HWND parent) {
    if (!g_updateLayeredWindow || !IsWindow(parent)) return;
    // Subclassing twice would make the parent procedure call itself forever.
    CWndShadow*& entry = ParentMap()[parent];
    if (entry || shadow_ != INVALID_HANDLE_VALUE) {
        if (!entry) ParentMap().erase(parent);
        return;
    }
    entry = this;
    shadow_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, WS_POPUP, CW_USEDEFAULT, 0, 0,
                              0, parent, nullptr, g_instance, nullptr);
    status_ = kEnabled;
    Show(parent);
    parentProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc)));
}

void CWndShadow::Show(HWND parent) {
    status_ &= kEnabled;
    if (status_ & kEnabled) {
        status_ |= kParentVisible;
        if (!(GetWindowLongW(parent, GWL_STYLE) & (WS_MAXIMIZE | WS_MINIMIZE))) status_ |= kVisible;
    }
    if (status_ & kVisible) {
        ShowWindow(shadow_, SW_SHOWNA);
        Update(parent);
    } else {
        ShowWindow(shadow_, SW_HIDE);
    }
}

void CWndShadow::HideShadow() {
    ShowWindow(shadow_, SW_HIDE);
    status_ &= ~kVisible;
}

void CWndShadow::Update(HWND parent) {
    if (!g_updateLayeredWindow) return;
    RECT rc;
    if (!GetWindowRect(parent, &rc)) return;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    ShadowImage::Params params;
    params.darkness = darkness_;
    params.sharpness = sharpness_;
    params.size = size_;
    params.xOffset = xOffset_;
    params.yOffset = yOffset_;
    params.colour = colour_;
    const SIZE image = ShadowImage::ImageSize(width, height, params);
    if (image.cx <= 0 || image.cy <= 0) return;

    void* bits = nullptr;
    // Bottom-up: the rows ShadowImage::Draw writes.
    HBITMAP bitmap = CreateDib32(nullptr, image.cx, image.cy, &bits, DibRows::BottomUp);
    if (!bitmap) return;
    auto* pixels = static_cast<uint32_t*>(bits);
    ZeroMemory(pixels, static_cast<size_t>(image.cx) * image.cy * sizeof(uint32_t));
    ShadowImage::Draw(pixels, width, height, ReadWindowSpans(parent, width, height), params);
    ++imageBuilds_;

    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT dest = {rc.left + xOffset_ - size_, rc.top + yOffset_ - size_};
    POINT source = {0, 0};
    SIZE size = image;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    MoveWindow(shadow_, dest.x, dest.y, image.cx, image.cy, FALSE);
    g_updateLayeredWindow(shadow_, nullptr, &dest, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& map = ParentMap();
    auto it = map.find(wnd);
    CWndShadow* self = it == map.end() ? nullptr : it->second;
    if (!self || !self->parentProc_) return DefWindowProcW(wnd, msg, wp, lp);
    WNDPROC next = self->parentProc_;
    LRESULT result = 0;
    if (self->OnParentMessage(wnd, msg, wp, lp, &result)) return result;
    return CallWindowProcW(next, wnd, msg, wp, lp);
}

// True when the message was passed on already and result holds its answer.
bool CWndShadow::OnParentMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case WM_DESTROY:
        if (shadow_ != INVALID_HANDLE_VALUE) DestroyWindow(shadow_);
        shadow_ = static_cast<HWND>(INVALID_HANDLE_VALUE);
        break;
    case WM_MOVE:
        if (status_ & kVisible) {
            RECT rc;
            GetWindowRect(parent, &rc);
            SetWindowPos(shadow_, nullptr, rc.left + xOffset_ - size_, rc.top + yOffset_ - size_, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
        break;
    case WM_SIZE:
        OnParentSize(parent, wp, lp);
        break;
    case WM_PAINT:
        if (updatePending_) {
            Update(parent);
            updatePending_ = false;
        }
        break;
    case WM_SHOWWINDOW:
        if (!(status_ & kEnabled)) break;
        *result = CallWindowProcW(parentProc_, parent, msg, wp, lp);
        if (wp) {
            updatePending_ = true;
            Show(parent);
        } else {
            ShowWindow(shadow_, SW_HIDE);
            status_ &= ~(kVisible | kParentVisible);
        }
        return true;
    case WM_NCDESTROY: {
        // Forward first: the entry is what keeps the old procedure reachable.
        WNDPROC next = parentProc_;
        ParentMap().erase(parent);
        *result = CallWindowProcW(next, parent, msg, wp, lp);
        return true;
    }
    case WM_EXITSIZEMOVE:
        if (status_ & kVisible) Update(parent);
        break;
    case WM_DWMCOMPOSITIONCHANGED:
        Show(parent);
        break;
    }
    return false;
}

void CWndShadow::OnParentSize(HWND parent, WPARAM wp, LPARAM lp) {
    if (!(status_ & kEnabled)) return;
    if (wp == SIZE_MAXIMIZED || wp == SIZE_MINIMIZED) {
        HideShadow();
    } else if (GetWindowLongW(parent, GWL_STYLE) & WS_VISIBLE) {
        status_ |= kParentVisible;
        if (!(status_ & kVisible)) {
            status_ |= kVisible;
            Update(parent);
            ShowWindow(shadow_, SW_SHOWNA);
            updatePending_ = true;
        } else if (LOWORD(lp) > LOWORD(lastParentSize_) || HIWORD(lp) > HIWORD(lastParentSize_)) {
            // The parent sets its rounded region while sizing; read it at the next paint.
            updatePending_ = true;
        } else {
            Update(parent);
        }
    }
    lastParentSize_ = lp;
}
