#include "uikit/core/render.h"

#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/image_draw.h"

namespace UiKit {
namespace Render {

void FillColor(HDC hdc, const RECT& rc, DWORD argb) {
    BYTE alpha = static_cast<BYTE>(argb >> 24);
    if (alpha == 0 || IsRectEmpty(&rc)) return;
    if (alpha == 255) {
        HBRUSH brush = CreateSolidBrush(ToColorRef(argb));
        FillRect(hdc, &rc, brush);
        DeleteObject(brush);
        return;
    }
    const unsigned char rgba[4] = {static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                                   static_cast<unsigned char>(argb), alpha};
    UIImageInfo pixel;
    if (!MakeImageFromRGBA(rgba, 1, 1, 0, pixel)) return;
    ImagePartParams p;
    p.dest = rc;
    p.source = RECT{0, 0, 1, 1};
    DrawImagePart(hdc, pixel, rc, p);
    FreeImage(pixel);
}

void FillGradient(HDC hdc, const RECT& rc, DWORD from, DWORD to, bool vertical) {
    TRIVERTEX v[2] = {};
    v[0].x = rc.left;
    v[0].y = rc.top;
    v[0].Red = static_cast<COLOR16>(((from >> 16) & 0xFF) << 8);
    v[0].Green = static_cast<COLOR16>(((from >> 8) & 0xFF) << 8);
    v[0].Blue = static_cast<COLOR16>((from & 0xFF) << 8);
    v[1].x = rc.right;
    v[1].y = rc.bottom;
    v[1].Red = static_cast<COLOR16>(((to >> 16) & 0xFF) << 8);
    v[1].Green = static_cast<COLOR16>(((to >> 8) & 0xFF) << 8);
    v[1].Blue = static_cast<COLOR16>((to & 0xFF) << 8);
    GRADIENT_RECT g = {0, 1};
    GradientFill(hdc, v, 2, &g, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void DrawRectBorder(HDC hdc, const RECT& rc, int size, DWORD argb) {
    if (size <= 0) return;
    RECT parts[4] = {{rc.left, rc.top, rc.right, rc.top + size},
                     {rc.left, rc.bottom - size, rc.right, rc.bottom},
                     {rc.left, rc.top + size, rc.left + size, rc.bottom - size},
                     {rc.right - size, rc.top + size, rc.right, rc.bottom - size}};
    if ((argb >> 24) == 255 || (argb >> 24) == 0) {
        // Opaque (a colour written without alpha counts as opaque): one brush.
        HBRUSH brush = CreateSolidBrush(ToColorRef(argb));
        for (const RECT& r : parts) FillRect(hdc, &r, brush);
        DeleteObject(brush);
        return;
    }
    for (const RECT& r : parts) FillColor(hdc, r, argb);
}

void DrawRoundBorder(HDC hdc, const RECT& rc, int size, int cx, int cy, DWORD argb) {
    HPEN pen = CreatePen(PS_SOLID, size, ToColorRef(argb));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    RoundRect(hdc, rc.left, rc.top, rc.right, rc.bottom, cx, cy);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void DrawLine(HDC hdc, POINT from, POINT to, int size, DWORD argb) {
    HPEN pen = CreatePen(PS_SOLID, size, ToColorRef(argb));
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, from.x, from.y, nullptr);
    LineTo(hdc, to.x, to.y);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

void DrawPlainText(HDC hdc, CUIWindowManager* manager, RECT& rc, const CUIString& text, DWORD argb, int font,
                   UINT style) {
    HFONT f = manager ? manager->GetFont(font) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old = SelectObject(hdc, f);
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(hdc, ToColorRef(argb));
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rc, style | DT_NOPREFIX);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, old);
}

bool DrawImageDescription(HDC hdc, CUIWindowManager* manager, const RECT& item, const RECT& paint,
                          const CUIString& description, const CUIString& modify) {
    if (description.empty()) return false;
    bool all = true;
    for (const ImageDrawItem& it : ParseImageDescription(description.c_str(), modify.c_str())) {
        const UIImageInfo* image = manager ? manager->GetImageEx(it.name, it.resType, it.mask) : nullptr;
        if (!image) {
            all = false;
            continue;
        }
        ImagePartParams p;
        p.dest = item;
        if (it.hasDest) {
            p.dest = RECT{item.left + it.dest.left, item.top + it.dest.top, item.left + it.dest.right,
                          item.top + it.dest.bottom};
            if (p.dest.right > item.right) p.dest.right = item.right;
            if (p.dest.bottom > item.bottom) p.dest.bottom = item.bottom;
        }
        p.source = it.source;
        if (p.source.left == 0 && p.source.top == 0 && p.source.right == 0 && p.source.bottom == 0) {
            p.source = RECT{0, 0, image->width, image->height};
        } else {
            if (p.source.right > image->width) p.source.right = image->width;
            if (p.source.bottom > image->height) p.source.bottom = image->height;
        }
        p.corner = it.corner;
        p.fade = it.fade;
        p.hole = it.hole;
        p.xtiled = it.xtiled;
        p.ytiled = it.ytiled;
        RECT clip;
        if (!IntersectRect(&clip, &item, &paint)) continue;
        DrawImagePart(hdc, *image, clip, p);
    }
    return all;
}

}  // namespace Render
}  // namespace UiKit
