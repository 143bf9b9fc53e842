// The skin a window's controls draw with: the fonts, images and default
// attribute lists that the markup declares. A window without its own (a
// menu, a drop-down list) reads through to the window that opened it.
#pragma once
#include <windows.h>

#include <map>
#include <vector>

#include "uikit/markup/image_loader.h"
#include "uikit/markup/ui_string.h"

namespace UiKit {

struct UIFontInfo {
    HFONT font = nullptr;
    CUIString faceName;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW tm = {};
    bool measured = false;
};

class CSkinResources {
public:
    // Starts with the system's GUI font as the default font.
    CSkinResources();
    ~CSkinResources();
    CSkinResources(const CSkinResources&) = delete;
    CSkinResources& operator=(const CSkinResources&) = delete;

    // Fonts are measured on this DC (the window's) when there is one, else
    // on the screen's.
    void SetMeasureDC(HDC dc) { measureDC_ = dc; }
    // What this skin lacks is looked up there.
    void SetParent(CSkinResources* parent) {
        parent_ = parent;
        Changed();
    }

    // Fonts. Numbers count from 0 in the order added.
    HFONT AddFont(const CUIString& face, int size, bool bold, bool underline, bool italic);
    HFONT SetDefaultFont(const CUIString& face, int size, bool bold, bool underline, bool italic);
    int GetFontCount() const { return static_cast<int>(fonts_.size()); }
    // A number outside the table (searching the parent) is the default font.
    HFONT GetFont(int index);
    UIFontInfo* GetFontInfo(int index);
    UIFontInfo* GetFontInfo(HFONT font);
    UIFontInfo* GetDefaultFontInfo();

    // Images, cached by name for the life of the skin.
    const UIImageInfo* GetImage(const CUIString& name) const;
    // Finds a cached image, or loads it (a failed load is tried again later).
    const UIImageInfo* GetImageEx(const CUIString& name, const CUIString& resType, DWORD mask);
    const UIImageInfo* AddImage(const CUIString& name, const CUIString& resType, DWORD mask);
    // Adds an image made elsewhere (taken over).
    const UIImageInfo* AddImage(const CUIString& name, UIImageInfo image);
    // The same, replacing (and freeing) an image cached under the name.
    void ReplaceImage(const CUIString& name, UIImageInfo image);

    // Default attribute lists by element name.
    void AddDefaultAttributeList(const CUIString& element, const CUIString& list);
    CUIString GetDefaultAttributeList(const CUIString& element) const;

    // Frees every font and image; the skin is empty afterwards.
    void Free();

    // Changes whenever a font or an image already handed out may have
    // changed or gone (and differs between any two skins, the parent's
    // changes included): what is kept measured with them is stale then.
    unsigned long long Serial() const;

private:
    void CreateDefaultFont();
    void MeasureFont(UIFontInfo& info);

    void Changed();

    unsigned serial_ = 0;
    HDC measureDC_ = nullptr;
    CSkinResources* parent_ = nullptr;
    std::vector<UIFontInfo> fonts_;
    UIFontInfo defaultFont_;
    std::map<CUIString, UIImageInfo> images_;
    std::map<CUIString, CUIString> defaultAttrs_;
};

}  // namespace UiKit
