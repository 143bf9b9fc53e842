#include "uikit/controls/layouts_extra.h"

#include <algorithm>
#include <cwchar>

#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

// ---------------------------------------------------------------- tab

const wchar_t* CTabLayoutUI::GetClassName() const { return L"TabLayoutUI"; }

void* CTabLayoutUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"TabLayout") == 0) return this;
    return CContainerUI::FindInterface(name);
}

void CTabLayoutUI::ShowOnly(int index) {
    for (int i = 0; i < GetCount(); ++i) items_[i]->SetVisible(i == index);
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (curSel_ < 0) curSel_ = index;
    else if (index <= curSel_) ++curSel_;
    ShowOnly(curSel_);
    return true;
}

bool CTabLayoutUI::RemoveAt(int index) {
    if (!CContainerUI::RemoveAt(index)) return false;
    if (index < curSel_) --curSel_;
    else if (index == curSel_) curSel_ = GetCount() > 0 ? std::min(index, GetCount() - 1) : -1;
    ShowOnly(curSel_);
    return true;
}

void CTabLayoutUI::RemoveAll() {
    curSel_ = -1;
    CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == curSel_) return true;
    int old = curSel_;
    curSel_ = index;
    ShowOnly(index);
    RequestLayout();
    // No notifications while the markup is still being applied.
    if (manager_ && initialised_) manager_->SendNotify(this, L"tabselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old));
    return true;
}

void CTabLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"selectedid") == 0) SelectItem(static_cast<int>(ParseInt(value ? value : L"")));
    else CContainerUI::ApplyAttribute(name, value);
}

// ---------------------------------------------------------------- tile

const wchar_t* CTileLayoutUI::GetClassName() const { return L"TileLayoutUI"; }

void* CTileLayoutUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"TileLayout") == 0) return this;
    return CContainerUI::FindInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size) {
    itemSize_ = size;
    RequestLayout();
}

void CTileLayoutUI::SetColumns(int columns) {
    if (columns < 1) return;
    columns_ = columns;
    RequestLayout();
}

void CTileLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InnerRect();
    int width = inner.right - inner.left;
    int columns = columns_;
    if (itemSize_.cx > 0) columns = std::max<int>(1, width / itemSize_.cx);
    int cellWidth = itemSize_.cx > 0 ? itemSize_.cx : width / columns;
    SIZE scroll = GetScrollPos();
    int x = 0, y = inner.top - scroll.cy, rowHeight = 0, column = 0, total = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = items_[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        SIZE want = c->MeasureSize(SIZE{cellWidth, inner.bottom - inner.top});
        int h = itemSize_.cy > 0 ? itemSize_.cy : (want.cy > 0 ? want.cy : cellWidth);
        x = inner.left + column * cellWidth;
        RECT pad = c->GetPadding();
        c->SetPosition(RECT{x + pad.left, y + pad.top, x + cellWidth - pad.right, y + h - pad.bottom});
        rowHeight = std::max(rowHeight, h);
        if (++column == columns) {
            column = 0;
            y += rowHeight + childPadding_;
            total += rowHeight + childPadding_;
            rowHeight = 0;
        }
    }
    total += rowHeight;
    ProcessScrollBar(inner, 0, total);
}

void CTileLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    if (wcscmp(name, L"itemsize") == 0) SetItemSize(ParseSize(value));
    else if (wcscmp(name, L"columns") == 0) SetColumns(static_cast<int>(ParseInt(value)));
    else CContainerUI::ApplyAttribute(name, value);
}

// ---------------------------------------------------------------- dialog

const wchar_t* CDialogLayoutUI::GetClassName() const { return L"DialogLayoutUI"; }

void* CDialogLayoutUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"DialogLayout") == 0) return this;
    return CContainerUI::FindInterface(name);
}

void CDialogLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InnerRect();
    // Children keep their fixed places; itemsize is the size a child without
    // a fixed size gets.
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = items_[i];
        if (!c->IsVisible()) continue;
        SIZE xy = c->GetFixedXY();
        SIZE want = c->MeasureSize(SIZE{inner.right - inner.left, inner.bottom - inner.top});
        int w = want.cx > 0 ? want.cx : itemSize_.cx;
        int h = want.cy > 0 ? want.cy : itemSize_.cy;
        int left = inner.left + std::max<LONG>(xy.cx, 0), top = inner.top + std::max<LONG>(xy.cy, 0);
        c->SetPosition(RECT{left, top, left + w, top + h});
    }
}

void CDialogLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"itemsize") == 0) {
        itemSize_ = ParseSize(value ? value : L"");
        RequestLayout();
    } else {
        CContainerUI::ApplyAttribute(name, value);
    }
}

}  // namespace UiKit
