// Skin images: found by name (shell icon of an ".exe", a file, a resource,
// the skin folder or the package), decoded with stb_image and kept as a
// 32-bit top-down DIB section with premultiplied alpha.
#pragma once
#include <windows.h>

#include <string>

#include "uikit/markup/ui_string.h"

namespace UiKit {

struct UIImageInfo {
    HBITMAP bitmap = nullptr;
    // Premultiplied B, G, R, A bytes, top row first, owned by the bitmap.
    unsigned char* bits = nullptr;
    int width = 0;
    int height = 0;
    bool alpha = false;
    CUIString resType;
    DWORD mask = 0;
    // Tells one decoded picture from every other, also from a later one that
    // reuses the bitmap's handle; 0 for pictures that are not DIB sections.
    unsigned serial = 0;
};

// Converts RGBA bytes to a premultiplied DIB section; pixels equal to mask
// (as 0xAARRGGBB after conversion) become transparent.
bool MakeImageFromRGBA(const unsigned char* rgba, int width, int height, DWORD mask, UIImageInfo& out);
// Decodes encoded image bytes (PNG, JPEG, BMP, GIF, PSD).
bool DecodeImage(const void* data, size_t size, DWORD mask, UIImageInfo& out);
// Finds and decodes the image named name, in the lookup order of the skin.
bool LoadSkinImage(const CUIString& name, const CUIString& resType, DWORD mask, UIImageInfo& out);
void FreeImage(UIImageInfo& image);
// Reads and decodes one image file by its path, taken as a path only (no
// package lookup, no icon extraction).
bool LoadDiskImage(const CUIString& path, DWORD mask, UIImageInfo& out);

}  // namespace UiKit
