#include "uikit/markup/image_loader.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <climits>
#include <cwchar>

#include "abi/dib_section.h"
#include "uikit/markup/image_cache.h"
#include "uikit/markup/skin_settings.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_PSD
#define STBI_NO_STDIO
// Skin images are small; anything larger is a broken or hostile file.
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>

namespace UiKit {
namespace {

// Images have no size limit of their own; this only keeps a lying package
// entry from making us allocate the address space away.
const size_t kMaxImageFileBytes = 256u << 20;

bool LoadShellIcon(const CUIString& path, UIImageInfo& out) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON) || !info.hIcon) return false;
    ICONINFO icon = {};
    bool ok = GetIconInfo(info.hIcon, &icon) != FALSE;
    DestroyIcon(info.hIcon);
    if (!ok) return false;
    if (icon.hbmMask) DeleteObject(icon.hbmMask);
    if (!icon.hbmColor) return false;
    out.bitmap = icon.hbmColor;
    out.bits = nullptr;
    out.width = 32;
    out.height = 32;
    out.alpha = false;
    out.serial = 0;
    return true;
}

bool LoadResourceBytes(const CUIString& name, const CUIString& type, std::string& bytes) {
    HINSTANCE module = CSkinSettings::GetResourceInstance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(_wtoi(name.c_str())), type.c_str());
    if (!res) return false;
    HGLOBAL global = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* data = global ? LockResource(global) : nullptr;
    if (!data || size == 0) return false;
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

}  // namespace

bool MakeImageFromRGBA(const unsigned char* rgba, int width, int height, DWORD mask, UIImageInfo& out) {
    if (!rgba || width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDib32(nullptr, width, height, &bits);
    if (!bitmap) return false;
    unsigned char* dst = static_cast<unsigned char*>(bits);
    bool alpha = false;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i, rgba += 4, dst += 4) {
        unsigned r = rgba[0], g = rgba[1], b = rgba[2], a = rgba[3];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            alpha = true;
        }
        DWORD value = (DWORD(a) << 24) | (DWORD(r) << 16) | (DWORD(g) << 8) | DWORD(b);
        if (value == mask) {
            r = g = b = a = 0;
            alpha = true;
        }
        dst[0] = static_cast<unsigned char>(b);
        dst[1] = static_cast<unsigned char>(g);
        dst[2] = static_cast<unsigned char>(r);
        dst[3] = static_cast<unsigned char>(a);
    }
    out.bitmap = bitmap;
    out.bits = static_cast<unsigned char*>(bits);
    out.width = width;
    out.height = height;
    out.alpha = alpha;
    out.mask = mask;
    static std::atomic<unsigned> serials{0};
    out.serial = ++serials;
    return true;
}

bool DecodeImage(const void* data, size_t size, DWORD mask, UIImageInfo& out) {
    if (!data || size == 0 || size > INT_MAX) return false;
    int w = 0, h = 0, n = 0;
    unsigned char* rgba =
        stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size), &w, &h, &n, 4);
    if (!rgba) return false;
    bool ok = MakeImageFromRGBA(rgba, w, h, mask, out);
    stbi_image_free(rgba);
    return ok;
}

bool LoadSkinImage(const CUIString& name, const CUIString& resType, DWORD mask, UIImageInfo& out) {
    if (name.empty()) return false;
    if (name.find(L".exe") != CUIString::npos) {
        if (!LoadShellIcon(name, out)) return false;
        out.resType = resType;
        out.mask = mask;
        return true;
    }
    std::string bytes;
    if (PathFileExistsW(name.c_str())) {
        if (ReadDiskFile(name, bytes, kMaxImageFileBytes) != SkinReadError::None) return false;
    } else if (!resType.empty()) {
        if (!LoadResourceBytes(name, resType, bytes)) return false;
    } else if (ReadSkinFile(name, bytes, kMaxImageFileBytes) != SkinReadError::None) {
        return false;
    }
    if (!DecodeImage(bytes.data(), bytes.size(), mask, out)) return false;
    out.resType = resType;
    return true;
}

bool LoadDiskImage(const CUIString& path, DWORD mask, UIImageInfo& out) {
    std::string bytes;
    if (ReadDiskFile(path, bytes, kMaxImageFileBytes) != SkinReadError::None) return false;
    return DecodeImage(bytes.data(), bytes.size(), mask, out);
}

void FreeImage(UIImageInfo& image) {
    ForgetImageCanvases(image.serial);
    if (image.bitmap) DeleteObject(image.bitmap);
    image.bitmap = nullptr;
    image.bits = nullptr;
    image.serial = 0;
}

}  // namespace UiKit
