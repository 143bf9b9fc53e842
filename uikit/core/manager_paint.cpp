// Painting: layout when needed, "windowinit" after the first layout, and the
// tree painted through an offscreen bitmap.
#include "abi/dib_section.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/image_draw.h"

namespace UiKit {

void CUIWindowManager::OnPaint() {
    if (!root_) {
        ValidateRect(window_, nullptr);
        return;
    }
    RECT client;
    GetClientRect(window_, &client);
    if (layoutNeeded_) {
        if (!IsRectEmpty(&client)) {
            inLayout_ = true;
            root_->SetPosition(client);
            inLayout_ = false;
            InvalidateRect(window_, nullptr, FALSE);
        }
        layoutNeeded_ = false;
        if (windowInitPending_) {
            windowInitPending_ = false;
            SendNotify(root_, L"windowinit");
            if (focusNeeded_) {
                focusNeeded_ = false;
                SetFocus(FirstTabStop());
            }
            // A listener may have dropped the tree.
            if (!root_) {
                ValidateRect(window_, nullptr);
                return;
            }
        }
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (IsRectEmpty(&ps.rcPaint)) {
        EndPaint(window_, &ps);
        return;
    }
    int w = client.right - client.left, h = client.bottom - client.top;
    if (offscreen_ && w > 0 && h > 0) {
        if (!offscreenDC_ || offscreenSize_.cx != w || offscreenSize_.cy != h) {
            if (offscreenDC_) {
                SelectObject(offscreenDC_, offscreenOld_);
                DeleteDC(offscreenDC_);
            }
            if (offscreenBitmap_) DeleteObject(offscreenBitmap_);
            offscreenDC_ = CreateCompatibleDC(dc);
            void* bits = nullptr;
            offscreenBitmap_ = CreateDib32(dc, w, h, &bits);
            offscreenOld_ = static_cast<HBITMAP>(SelectObject(offscreenDC_, offscreenBitmap_));
            offscreenSize_ = SIZE{w, h};
        }
        if (bkTrans_) {
            if (!background_) CaptureBackground();
            if (background_) {
                HDC mem = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(mem, background_);
                const RECT& r = ps.rcPaint;
                BitBlt(offscreenDC_, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, r.left, r.top, SRCCOPY);
                SelectObject(mem, old);
                DeleteDC(mem);
            }
        }
        PaintTree(offscreenDC_, ps.rcPaint);
        if (showDirty_) Render::DrawRectBorder(offscreenDC_, ps.rcPaint, 1, 0xFFFF0000);
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, offscreenDC_, r.left, r.top, SRCCOPY);
    } else {
        PaintTree(dc, ps.rcPaint);
        if (showDirty_) Render::DrawRectBorder(dc, ps.rcPaint, 1, 0xFFFF0000);
    }
    EndPaint(window_, &ps);
}

void CUIWindowManager::PaintTree(HDC hdc, const RECT& paint) {
    if (root_ && root_->IsVisible()) root_->Paint(hdc, paint);
}

void CUIWindowManager::CaptureBackground() {
    SIZE size = GetClientSize();
    if (size.cx <= 0 || size.cy <= 0 || !paintDC_) return;
    void* bits = nullptr;
    background_ = CreateDib32(paintDC_, size.cx, size.cy, &bits);
    if (!background_) return;
    HDC mem = CreateCompatibleDC(paintDC_);
    HGDIOBJ old = SelectObject(mem, background_);
    BitBlt(mem, 0, 0, size.cx, size.cy, paintDC_, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void CUIWindowManager::Invalidate(const RECT& rc) {
    if (window_ && !inLayout_) InvalidateRect(window_, &rc, FALSE);
}

}  // namespace UiKit
