#include "uikit/core/layouts.h"

#include <algorithm>
#include <cwchar>
#include <functional>

#include "uikit/markup/attr_values.h"

namespace UiKit {
namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The two-pass layout along one axis. `Axis` maps the generic "main" and
// "cross" directions to x and y, so the vertical and the horizontal layout
// share one algorithm.
struct Axis {
    bool vertical;
    int Main(SIZE s) const { return vertical ? s.cy : s.cx; }
    int Cross(SIZE s) const { return vertical ? s.cx : s.cy; }
    int MainMin(CControlUI* c) const { return vertical ? c->GetMinHeight() : c->GetMinWidth(); }
    int MainMax(CControlUI* c) const { return vertical ? c->GetMaxHeight() : c->GetMaxWidth(); }
    int CrossMin(CControlUI* c) const { return vertical ? c->GetMinWidth() : c->GetMinHeight(); }
    int CrossMax(CControlUI* c) const { return vertical ? c->GetMaxWidth() : c->GetMaxHeight(); }
    int CrossFixed(CControlUI* c) const { return vertical ? c->GetFixedWidth() : c->GetFixedHeight(); }
    // Padding before and after along the main axis, and before/after across.
    int PadMainBefore(const RECT& p) const { return vertical ? p.top : p.left; }
    int PadMainAfter(const RECT& p) const { return vertical ? p.bottom : p.right; }
    int PadCrossBefore(const RECT& p) const { return vertical ? p.left : p.top; }
    int PadCrossAfter(const RECT& p) const { return vertical ? p.right : p.bottom; }
};

}  // namespace

// What the children of a line need: along the line and across it (the
// widest child of a vertical layout, with its paddings).
struct LineExtent {
    int main = 0;
    int cross = 0;
};

// Lays the children of a container out along one axis inside `inner` and
// returns the extent they need.
static LineExtent LayoutLine(const Axis& ax, const std::vector<CControlUI*>& items, const RECT& inner, int childPadding,
                      SIZE scroll, const std::function<void(int)>& placeFloat) {
    SIZE avail = {inner.right - inner.left, inner.bottom - inner.top};
    int availMain = ax.Main(avail), availCross = ax.Cross(avail);

    // First pass: fixed extents, paddings and the number of adjustable children.
    int adjustable = 0, fixed = 0, counted = 0;
    for (CControlUI* c : items) {
        if (!c->IsVisible() || c->IsFloat()) continue;
        int m = ax.Main(c->MeasureSize(avail));
        if (m == 0) ++adjustable;
        else fixed += Clamp(m, ax.MainMin(c), ax.MainMax(c));
        RECT pad = c->GetPadding();
        fixed += ax.PadMainBefore(pad) + ax.PadMainAfter(pad);
        ++counted;
    }
    if (counted > 1) fixed += childPadding * (counted - 1);
    int share = adjustable ? std::max(0, (availMain - fixed) / adjustable) : 0;

    // Second pass: place them; the last adjustable child takes what remains.
    int pos = (ax.vertical ? inner.top - scroll.cy : inner.left - scroll.cx);
    int crossStart = (ax.vertical ? inner.left - scroll.cx : inner.top - scroll.cy);
    int adjustSeen = 0, adjustGiven = 0, total = 0, placed = 0, widest = 0;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        CControlUI* c = items[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            placeFloat(i);
            continue;
        }
        RECT pad = c->GetPadding();
        int m = ax.Main(c->MeasureSize(avail));
        if (m == 0) {
            ++adjustSeen;
            m = adjustSeen == adjustable ? std::max(0, availMain - fixed - adjustGiven) : share;
            m = Clamp(m, ax.MainMin(c), ax.MainMax(c));
            adjustGiven += m;
        } else {
            m = Clamp(m, ax.MainMin(c), ax.MainMax(c));
        }
        int cross = ax.CrossFixed(c);
        if (cross == 0) cross = availCross - ax.PadCrossBefore(pad) - ax.PadCrossAfter(pad);
        cross = std::max(0, Clamp(cross, ax.CrossMin(c), ax.CrossMax(c)));

        int mainFrom = pos + ax.PadMainBefore(pad);
        int mainTo = mainFrom + m + ax.PadMainAfter(pad);  // the far padding lies inside
        int crossFrom = crossStart + ax.PadCrossBefore(pad);
        RECT rc = ax.vertical ? RECT{crossFrom, mainFrom, crossFrom + cross, mainTo}
                              : RECT{mainFrom, crossFrom, mainTo, crossFrom + cross};
        c->SetPosition(rc);
        int step = ax.PadMainBefore(pad) + m + ax.PadMainAfter(pad);
        pos += step + childPadding;
        total += step + (placed ? childPadding : 0);
        widest = std::max(widest, ax.PadCrossBefore(pad) + cross + ax.PadCrossAfter(pad));
        ++placed;
    }
    return LineExtent{total, widest};
}

const wchar_t* CVerticalLayoutUI::GetClassName() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::FindInterface(name);
}

void CVerticalLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InnerRect();
    LineExtent need = LayoutLine(Axis{true}, items_, inner, childPadding_, GetScrollPos(), [this](int i) { SetFloatPos(i); });
    ProcessScrollBar(inner, need.cross, need.main);
}

void CVerticalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"sepheight") == 0) SetSepHeight(ParseInt(value));
    else if (wcscmp(name, L"sepimm") == 0) SetSepImmMode(ParseBool(value));
    else CContainerUI::ApplyAttribute(name, value);
}

const wchar_t* CHorizontalLayoutUI::GetClassName() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::FindInterface(name);
}

void CHorizontalLayoutUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InnerRect();
    LineExtent need = LayoutLine(Axis{false}, items_, inner, childPadding_, GetScrollPos(), [this](int i) { SetFloatPos(i); });
    ProcessScrollBar(inner, need.main, need.cross);
}

void CHorizontalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"sepwidth") == 0) SetSepWidth(ParseInt(value));
    else if (wcscmp(name, L"sepimm") == 0) SetSepImmMode(ParseBool(value));
    else CContainerUI::ApplyAttribute(name, value);
}

}  // namespace UiKit
