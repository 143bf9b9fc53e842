// The skin's fonts, images and default attribute lists.
#include "uikit/core/skin_resources.h"

#include <atomic>
#include <cwchar>
#include <cwctype>

namespace UiKit {
namespace {

// A new font and its description; no font (nullptr) when it cannot be made.
UIFontInfo MakeFontInfo(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfItalic = italic ? TRUE : FALSE;
    UIFontInfo info;
    info.font = CreateFontIndirectW(&lf);
    info.faceName = face;
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    return info;
}

}  // namespace

CSkinResources::CSkinResources() {
    Changed();
    CreateDefaultFont();
}

void CSkinResources::Changed() {
    static std::atomic<unsigned> next{1};
    serial_ = next++;
}

unsigned long long CSkinResources::Serial() const {
    return (static_cast<unsigned long long>(parent_ ? static_cast<unsigned>(parent_->Serial()) : 0) << 32) | serial_;
}

CSkinResources::~CSkinResources() { Free(); }

void CSkinResources::CreateDefaultFont() {
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

void CSkinResources::MeasureFont(UIFontInfo& info) {
    if (info.measured || !info.font) return;
    HDC dc = measureDC_ ? measureDC_ : GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.font);
    GetTextMetricsW(dc, &info.tm);
    SelectObject(dc, old);
    if (!measureDC_) ReleaseDC(nullptr, dc);
    info.measured = true;
}

HFONT CSkinResources::AddFont(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    UIFontInfo info = MakeFontInfo(face, size, bold, underline, italic);
    if (!info.font) return nullptr;
    fonts_.push_back(info);
    if (measureDC_) MeasureFont(fonts_.back());
    Changed();  // the number stood for the default font until now
    return info.font;
}

HFONT CSkinResources::SetDefaultFont(const CUIString& face, int size, bool bold, bool underline, bool italic) {
    UIFontInfo info = MakeFontInfo(face, size, bold, underline, italic);
    if (!info.font) return nullptr;
    if (defaultFont_.font) DeleteObject(defaultFont_.font);
    defaultFont_ = info;
    if (measureDC_) MeasureFont(defaultFont_);
    Changed();
    return info.font;
}

UIFontInfo* CSkinResources::GetDefaultFontInfo() {
    if (parent_) return parent_->GetDefaultFontInfo();
    MeasureFont(defaultFont_);
    return &defaultFont_;
}

UIFontInfo* CSkinResources::GetFontInfo(int index) {
    if (index >= 0 && index < static_cast<int>(fonts_.size())) {
        MeasureFont(fonts_[index]);
        return &fonts_[index];
    }
    if (parent_) return parent_->GetFontInfo(index);
    return GetDefaultFontInfo();
}

UIFontInfo* CSkinResources::GetFontInfo(HFONT font) {
    for (UIFontInfo& f : fonts_) {
        if (f.font == font) {
            MeasureFont(f);
            return &f;
        }
    }
    if (defaultFont_.font == font) return GetDefaultFontInfo();
    if (parent_) return parent_->GetFontInfo(font);
    return nullptr;
}

HFONT CSkinResources::GetFont(int index) {
    UIFontInfo* f = GetFontInfo(index);
    return f ? f->font : nullptr;
}

const UIImageInfo* CSkinResources::GetImage(const CUIString& name) const {
    auto it = images_.find(name);
    if (it != images_.end()) return &it->second;
    return parent_ ? parent_->GetImage(name) : nullptr;
}

const UIImageInfo* CSkinResources::GetImageEx(const CUIString& name, const CUIString& resType, DWORD mask) {
    if (const UIImageInfo* found = GetImage(name)) return found;
    return AddImage(name, resType, mask);
}

const UIImageInfo* CSkinResources::AddImage(const CUIString& name, const CUIString& resType, DWORD mask) {
    if (name.empty()) return nullptr;
    auto it = images_.find(name);
    if (it != images_.end()) return &it->second;
    // A restype needs a resource id, which starts with a digit.
    if (!resType.empty() && !iswdigit(name[0])) return nullptr;
    UIImageInfo image;
    if (!LoadSkinImage(name, resType, mask, image)) return nullptr;
    return &images_.emplace(name, image).first->second;
}

const UIImageInfo* CSkinResources::AddImage(const CUIString& name, UIImageInfo image) {
    auto it = images_.find(name);
    if (it != images_.end()) {
        FreeImage(image);
        return &it->second;
    }
    return &images_.emplace(name, image).first->second;
}

void CSkinResources::ReplaceImage(const CUIString& name, UIImageInfo image) {
    auto it = images_.find(name);
    if (it != images_.end()) {
        FreeImage(it->second);
        it->second = image;
        Changed();
    } else {
        images_.emplace(name, image);
    }
}

void CSkinResources::AddDefaultAttributeList(const CUIString& element, const CUIString& list) {
    defaultAttrs_[element] = list;
}

CUIString CSkinResources::GetDefaultAttributeList(const CUIString& element) const {
    auto it = defaultAttrs_.find(element);
    if (it != defaultAttrs_.end()) return it->second;
    return parent_ ? parent_->GetDefaultAttributeList(element) : CUIString();
}

void CSkinResources::Free() {
    for (UIFontInfo& f : fonts_)
        if (f.font) DeleteObject(f.font);
    fonts_.clear();
    if (defaultFont_.font) DeleteObject(defaultFont_.font);
    defaultFont_ = UIFontInfo();
    for (auto& kv : images_) FreeImage(kv.second);
    images_.clear();
    defaultAttrs_.clear();
    Changed();
}

}  // namespace UiKit
