#include "frame/version_info.h"

#include <cstdio>

#include "frame/plugin_state.h"

CFileVersionInfo::CFileVersionInfo() { Reset(); }

CFileVersionInfo::~CFileVersionInfo() = default;

void CFileVersionInfo::Reset() {
    ZeroMemory(&fixed_, sizeof fixed_);
    std::vector<BYTE>().swap(block_);
    translation_ = 0;
    translationCount_ = 0;
    valid_ = false;
}

bool CFileVersionInfo::ReadFromModule(HMODULE module) {
    if (!module) return false;
    std::wstring path = ModulePath(module);
    return !path.empty() && ReadFromFile(path);
}

bool CFileVersionInfo::ReadFromFile(const std::wstring& path) {
    Reset();
    if (!ReadVersionResource(path)) Reset();
    return valid_;
}

bool CFileVersionInfo::ReadVersionResource(const std::wstring& path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return false;
    block_.assign(size, 0);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block_.data())) return false;

    // The lengths the API reports come from the file: a short record is
    // treated as missing rather than read past its end.
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block_.data(), L"\\", &value, &length) || !value || length < sizeof fixed_) return false;
    CopyMemory(&fixed_, value, sizeof fixed_);
    valid_ = fixed_.dwSignature == 0xFEEF04BD;

    value = nullptr;
    length = 0;
    if (VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length) && value &&
        length >= sizeof(DWORD)) {
        CopyMemory(&translation_, value, sizeof(DWORD));
        translationCount_ = length / sizeof(DWORD);
    }
    return translation_ != 0;
}

std::wstring GetFileVersionText(HMODULE module, const std::wstring& path) {
    CFileVersionInfo info;
    if (path.empty()) {
        if (!module) return std::wstring();
        info.ReadFromModule(module);
    } else {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::wstring();
        info.ReadFromFile(path);
    }
    wchar_t text[64] = {};
    swprintf(text, 64, L"%d.%d.%d.%d", static_cast<int>(HIWORD(info.FileVersionMS())),
             static_cast<int>(LOWORD(info.FileVersionMS())), static_cast<int>(HIWORD(info.FileVersionLS())),
             static_cast<int>(LOWORD(info.FileVersionLS())));
    return text;
}
