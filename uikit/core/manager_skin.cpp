// The window's skin: fonts, images, default attribute lists and the
// properties of the "Window" element.
#include <algorithm>
#include <cwchar>

#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {
namespace {

HFONT MakeFont(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfItalic = italic ? TRUE : FALSE;
    return CreateFontIndirectW(&lf);
}

using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
SetLayeredFn SetLayered() {
    static SetLayeredFn fn = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    return fn;
}

}  // namespace

void CUIWindowManager::CreateDefaultFont() {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    defaultFont_ = UIFontInfo();
    defaultFont_.font = CreateFontIndirectW(&lf);
    defaultFont_.faceName = lf.lfFaceName;
    defaultFont_.size = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    defaultFont_.bold = lf.lfWeight >= FW_BOLD;
    defaultFont_.underline = lf.lfUnderline != 0;
    defaultFont_.italic = lf.lfItalic != 0;
}

void CUIWindowManager::MeasureFont(UIFontInfo& info) {
    if (info.measured || !info.font) return;
    HDC dc = paintDC_ ? paintDC_ : GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.font);
    GetTextMetricsW(dc, &info.tm);
    SelectObject(dc, old);
    if (!paintDC_) ReleaseDC(nullptr, dc);
    info.measured = true;
}

HFONT CUIWindowManager::AddFont(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (!font) return nullptr;
    UIFontInfo info;
    info.font = font;
    info.faceName = face;
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    fonts_.push_back(info);
    if (paintDC_) MeasureFont(fonts_.back());
    return font;
}

HFONT CUIWindowManager::SetDefaultFont(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (!font) return nullptr;
    if (defaultFont_.font) DeleteObject(defaultFont_.font);
    defaultFont_ = UIFontInfo();
    defaultFont_.font = font;
    defaultFont_.faceName = face;
    defaultFont_.size = size;
    defaultFont_.bold = bold;
    defaultFont_.underline = underline;
    defaultFont_.italic = italic;
    if (paintDC_) MeasureFont(defaultFont_);
    return font;
}

UIFontInfo* CUIWindowManager::GetDefaultFontInfo() {
    if (parentResource_) return parentResource_->GetDefaultFontInfo();
    MeasureFont(defaultFont_);
    return &defaultFont_;
}

UIFontInfo* CUIWindowManager::GetFontInfo(int index) {
    if (index >= 0 && index < static_cast<int>(fonts_.size())) {
        MeasureFont(fonts_[index]);
        return &fonts_[index];
    }
    if (parentResource_) return parentResource_->GetFontInfo(index);
    return GetDefaultFontInfo();
}

UIFontInfo* CUIWindowManager::GetFontInfo(HFONT font) {
    for (UIFontInfo& f : fonts_) {
        if (f.font == font) {
            MeasureFont(f);
            return &f;
        }
    }
    if (defaultFont_.font == font) return GetDefaultFontInfo();
    if (parentResource_) return parentResource_->GetFontInfo(font);
    return nullptr;
}

HFONT CUIWindowManager::GetFont(int index) {
    UIFontInfo* f = GetFontInfo(index);
    return f ? f->font : nullptr;
}

const UIImageInfo* CUIWindowManager::GetImage(const CUIString& name) const {
    auto it = images_.find(name);
    if (it != images_.end()) return &it->second;
    return parentResource_ ? parentResource_->GetImage(name) : nullptr;
}

const UIImageInfo* CUIWindowManager::GetImageEx(const CUIString& name, const CUIString& resType, DWORD mask) {
    if (const UIImageInfo* found = GetImage(name)) return found;
    return AddImage(name, resType, mask);
}

const UIImageInfo* CUIWindowManager::AddImage(const CUIString& name, const CUIString& resType, DWORD mask) {
    if (name.empty()) return nullptr;
    auto it = images_.find(name);
    if (it != images_.end()) return &it->second;
    // A restype needs a resource id, which starts with a digit.
    if (!resType.empty() && !iswdigit(name[0])) return nullptr;
    UIImageInfo image;
    if (!LoadSkinImage(name, resType, mask, image)) return nullptr;
    return &images_.emplace(name, image).first->second;
}

const UIImageInfo* CUIWindowManager::AddImage(const CUIString& name, UIImageInfo image) {
    auto it = images_.find(name);
    if (it != images_.end()) {
        FreeImage(image);
        return &it->second;
    }
    return &images_.emplace(name, image).first->second;
}

void CUIWindowManager::ReplaceImage(const CUIString& name, UIImageInfo image) {
    auto it = images_.find(name);
    if (it != images_.end()) {
        FreeImage(it->second);
        it->second = image;
    } else {
        images_.emplace(name, image);
    }
}

void CUIWindowManager::AddDefaultAttributeList(const CUIString& element, const CUIString& list) {
    defaultAttrs_[element] = list;
}

CUIString CUIWindowManager::GetDefaultAttributeList(const CUIString& element) const {
    auto it = defaultAttrs_.find(element);
    if (it != defaultAttrs_.end()) return it->second;
    return parentResource_ ? parentResource_->GetDefaultAttributeList(element) : CUIString();
}

void CUIWindowManager::FreeSkin() {
    for (UIFontInfo& f : fonts_)
        if (f.font) DeleteObject(f.font);
    fonts_.clear();
    if (defaultFont_.font) DeleteObject(defaultFont_.font);
    defaultFont_ = UIFontInfo();
    for (auto& kv : images_) FreeImage(kv.second);
    images_.clear();
    defaultAttrs_.clear();
}

void CUIWindowManager::SetInitSize(int cx, int cy) {
    initSize_ = SIZE{cx, cy};
    if (!root_ && window_)
        SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CUIWindowManager::SetTransparent(int alpha) {
    if (!window_) return;
    LONG ex = GetWindowLongW(window_, GWL_EXSTYLE);
    if (alpha < 0 || alpha > 255) {
        SetWindowLongW(window_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    SetWindowLongW(window_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (SetLayeredFn fn = SetLayered()) fn(window_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CUIWindowManager::SetTransparentColor(DWORD color) {
    if (!window_ || (color >> 24) != 0xFF) return;
    SetWindowLongW(window_, GWL_EXSTYLE, GetWindowLongW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (SetLayeredFn fn = SetLayered())
        fn(window_, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF), 0, LWA_COLORKEY);
}

void CUIWindowManager::ApplyWindowAttribute(const wchar_t* name, const wchar_t* value) {
    std::wstring n(name ? name : L"");
    if (!value) value = L"";
    if (n == L"size") {
        SIZE s = ParseSize(value);
        SetInitSize(s.cx, s.cy);
    } else if (n == L"sizebox") SetSizeBox(ParseRect(value));
    else if (n == L"caption") SetCaptionRect(ParseRect(value));
    else if (n == L"roundcorner") {
        SIZE s = ParseSize(value);
        SetRoundCorner(s.cx, s.cy);
    } else if (n == L"mininfo") {
        SIZE s = ParseSize(value);
        SetMinInfo(s.cx, s.cy);
    } else if (n == L"maxinfo") {
        SIZE s = ParseSize(value);
        SetMaxInfo(s.cx, s.cy);
    } else if (n == L"showdirty") SetShowUpdateRect(ParseBool(value));
    else if (n == L"alpha") SetTransparent(ParseInt(value));
    else if (n == L"alphacolor") SetTransparentColor(ParseColor(value));
    else if (n == L"bktrans") SetBackgroundTransparent(ParseBool(value));
    else if (n == L"disabledfontcolor") SetDefaultDisabledColor(ParseColor(value));
    else if (n == L"defaultfontcolor") SetDefaultFontColor(ParseColor(value));
    else if (n == L"linkfontcolor") SetDefaultLinkFontColor(ParseColor(value));
    else if (n == L"linkhoverfontcolor") SetDefaultLinkHoverFontColor(ParseColor(value));
    else if (n == L"selectedcolor") SetDefaultSelectedBkColor(ParseColor(value));
}

}  // namespace UiKit
