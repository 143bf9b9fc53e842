// Label: a control that draws a text (plain or formatted) in a font, colour
// and alignment. Text: a label whose formatted links can be clicked.
#pragma once
#include <vector>

#include "uikit/controls/text_render.h"
#include "uikit/core/control.h"

namespace UiKit {

class CLabelUI : public CControlUI {
public:
    CLabelUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    UINT GetTextStyle() const { return textStyle_; }
    void SetTextStyle(UINT style);
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return font_; }
    void SetFont(int index);
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return showHtml_; }
    void SetShowHtml(bool show = true);

    SIZE MeasureSize(SIZE available) override;
    void PaintText(HDC hdc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

protected:
    // The rectangle the text is drawn in: the position less the text padding.
    RECT TextRect() const;
    // Draws text_ in the given colour with the label's font and style.
    void DrawLabelText(HDC hdc, DWORD color, std::vector<TextLink>* links = nullptr, int hotLink = -1);

    UINT textStyle_ = DT_VCENTER;
    DWORD textColor_ = 0;
    DWORD disabledTextColor_ = 0;
    int font_ = -1;
    RECT textPadding_ = {0, 0, 0, 0};
    bool showHtml_ = false;
};

class CTextUI : public CLabelUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // The links of the last paint (formatted text only).
    const std::vector<TextLink>& Links() const { return links_; }
    void HandleEvent(UIEvent& event) override;
    void PaintText(HDC hdc) override;

private:
    int LinkAt(POINT pt) const;

    std::vector<TextLink> links_;
    int hotLink_ = -1;
    int pressedLink_ = -1;
};

}  // namespace UiKit
