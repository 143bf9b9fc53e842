#include "uikit/controls/label_text.h"

#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CLabelUI::CLabelUI() = default;

const wchar_t* CLabelUI::GetClassName() const { return L"LabelUI"; }

void* CLabelUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Label") == 0) return this;
    return CControlUI::FindInterface(name);
}

void CLabelUI::SetTextStyle(UINT style) {
    textStyle_ = style;
    Invalidate();
}
void CLabelUI::SetTextColor(DWORD color) {
    textColor_ = color;
    Invalidate();
}
void CLabelUI::SetDisabledTextColor(DWORD color) {
    disabledTextColor_ = color;
    Invalidate();
}
void CLabelUI::SetFont(int index) {
    font_ = index;
    Invalidate();
}
void CLabelUI::SetTextPadding(RECT rc) {
    textPadding_ = rc;
    Invalidate();
}
void CLabelUI::SetShowHtml(bool show) {
    showHtml_ = show;
    Invalidate();
}

SIZE CLabelUI::MeasureSize(SIZE available) {
    (void)available;
    return FixedSizeOrFontLine(manager_, cxyFixed_, font_, 4);
}

RECT CLabelUI::TextRect() const {
    RECT rc = rcItem_;
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    return rc;
}

void CLabelUI::DrawLabelText(HDC hdc, DWORD color, std::vector<TextLink>* links, int hotLink) {
    if (text_.empty()) {
        if (links) links->clear();
        return;
    }
    RECT rc = TextRect();
    if (showHtml_) {
        // Placed in what shows of the text: a text taller or wider than the
        // room its parents give it is centred and cut inside that room.
        RECT visible = VisibleRect(), shown;
        if (IntersectRect(&shown, &rc, &visible)) rc = shown;
        FormattedDrawParams params;
        params.color = color;
        params.font = font_;
        params.style = textStyle_;
        params.hotLink = hotLink;
        DrawFormattedText(hdc, manager_, rc, text_, params, links);
    } else {
        Render::DrawPlainText(hdc, manager_, rc, text_, color, font_, textStyle_ | DT_SINGLELINE);
    }
}

void CLabelUI::PaintText(HDC hdc) {
    bool disabled = !IsEnabled();
    DrawLabelText(hdc, ResolveTextColor(manager_, disabled ? disabledTextColor_ : textColor_, disabled));
}

void CLabelUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    if (wcscmp(name, L"align") == 0) SetTextStyle(ApplyAlignWords(textStyle_, value));
    else if (wcscmp(name, L"endellipsis") == 0) SetTextStyle(ApplyEndEllipsis(textStyle_, value));
    else if (wcscmp(name, L"font") == 0) SetFont(static_cast<int>(ParseInt(value)));
    else if (wcscmp(name, L"textcolor") == 0) SetTextColor(ParseColor(value, true));
    else if (wcscmp(name, L"disabledtextcolor") == 0) SetDisabledTextColor(ParseColor(value, true));
    else if (wcscmp(name, L"textpadding") == 0) SetTextPadding(ParseRect(value));
    else if (wcscmp(name, L"showhtml") == 0) SetShowHtml(ParseBool(value));
    else CControlUI::ApplyAttribute(name, value);
}

const wchar_t* CTextUI::GetClassName() const { return L"TextUI"; }

void* CTextUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Text") == 0) return this;
    return CLabelUI::FindInterface(name);
}

UINT CTextUI::GetControlFlags() const { return (IsEnabled() && !links_.empty()) ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

int CTextUI::LinkAt(POINT pt) const {
    for (const TextLink& link : links_)
        if (PtInRect(&link.rect, pt)) return link.number;
    return -1;
}

void CTextUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    switch (event.kind) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, LinkAt(event.mousePoint) >= 0 ? IDC_HAND : IDC_ARROW));
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        pressedLink_ = LinkAt(event.mousePoint);
        if (pressedLink_ >= 0) return;
        break;
    case UIEVENT_BUTTONUP: {
        int link = LinkAt(event.mousePoint);
        bool clicked = pressedLink_ >= 0 && link == pressedLink_;
        pressedLink_ = -1;
        if (clicked && manager_) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link));
        if (clicked) return;
        break;
    }
    case UIEVENT_MOUSEMOVE: {
        int hot = LinkAt(event.mousePoint);
        if (hot != hotLink_) {
            hotLink_ = hot;
            Invalidate();
        }
        if (!links_.empty()) return;
        break;
    }
    case UIEVENT_MOUSELEAVE:
        if (hotLink_ >= 0) {
            hotLink_ = -1;
            Invalidate();
        }
        break;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC hdc) {
    bool disabled = !IsEnabled();
    DWORD color = ResolveTextColor(manager_, disabled ? disabledTextColor_ : textColor_, disabled);
    if (showHtml_) DrawLabelText(hdc, color, &links_, hotLink_);
    else {
        links_.clear();
        DrawLabelText(hdc, color);
    }
}

}  // namespace UiKit
