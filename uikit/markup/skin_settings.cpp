#include "uikit/markup/skin_settings.h"

#include <memory>

#include "abi/module.h"

namespace UiKit {
namespace {

struct Settings {
    HINSTANCE instance = nullptr;
    HINSTANCE module = nullptr;
    CUIString path;
    CUIString packageName;
    bool cached = false;
    ZipArchive package;  // open only while cached
};

Settings& S() {
    static Settings s;
    return s;
}

}  // namespace

void CSkinSettings::SetInstance(HINSTANCE module) { S().instance = module; }
HINSTANCE CSkinSettings::GetInstance() { return S().instance ? S().instance : ThisModule(); }
void CSkinSettings::SetResourceInstance(HINSTANCE module) { S().module = module; }
HINSTANCE CSkinSettings::GetResourceInstance() { return S().module ? S().module : GetInstance(); }

void CSkinSettings::SetResourcePath(const CUIString& path) {
    CUIString p = path;
    if (!p.empty() && p.back() != L'\\' && p.back() != L'/') p += L'\\';
    S().path = p;
}
const CUIString& CSkinSettings::GetResourcePath() { return S().path; }

void CSkinSettings::SetResourceZip(const CUIString& fileName, bool cached) {
    Settings& s = S();
    if (s.packageName == L"membuffer") return;
    s.package.Close();
    s.packageName = fileName;
    s.cached = cached && !fileName.empty();
    if (s.cached) s.package.OpenFile(s.path + fileName);
}

void CSkinSettings::SetResourceZip(const void* data, size_t size) {
    Settings& s = S();
    if (s.packageName == L"membuffer") return;
    s.package.Close();
    s.packageName = L"membuffer";
    s.cached = true;
    s.package.Open(data, size);
}

void CSkinSettings::ReleasePackage() {
    Settings& s = S();
    if (s.cached) s.package.Close();
}

void CSkinSettings::RemovePackage() {
    Settings& s = S();
    s.package.Close();
    s.packageName.clear();
    s.cached = false;
}

const CUIString& CSkinSettings::GetPackageName() { return S().packageName; }
bool CSkinSettings::IsPackageCached() { return S().cached; }
const ZipArchive* CSkinSettings::GetPackageHandle() {
    Settings& s = S();
    return s.cached && s.package.IsOpen() ? &s.package : nullptr;
}

const wchar_t* SkinReadErrorText(SkinReadError error) {
    switch (error) {
    case SkinReadError::None: return L"";
    case SkinReadError::OpenFile: return L"Error opening file";
    case SkinReadError::Empty: return L"File is empty";
    case SkinReadError::TooLarge: return L"File too large";
    case SkinReadError::ReadFile: return L"Could not read file";
    case SkinReadError::OpenZip: return L"Error opening zip file";
    case SkinReadError::NotInZip: return L"Could not find ziped file";
    case SkinReadError::Unzip: return L"Could not unzip file";
    }
    return L"";
}

SkinReadError ReadDiskFile(const CUIString& path, std::string& bytes, size_t limit) {
    bytes.clear();
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return SkinReadError::OpenFile;
    LARGE_INTEGER size = {};
    SkinReadError err = SkinReadError::None;
    if (!GetFileSizeEx(f, &size)) err = SkinReadError::ReadFile;
    else if (size.QuadPart == 0) err = SkinReadError::Empty;
    else if (static_cast<unsigned long long>(size.QuadPart) > limit) err = SkinReadError::TooLarge;
    if (err == SkinReadError::None) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) {
            bytes.clear();
            err = SkinReadError::ReadFile;
        }
    }
    CloseHandle(f);
    return err;
}

SkinReadError ReadSkinFile(const CUIString& name, std::string& bytes, size_t limit) {
    bytes.clear();
    Settings& s = S();
    if (s.packageName.empty()) return ReadDiskFile(s.path + name, bytes, limit);

    std::unique_ptr<ZipArchive> transient;
    const ZipArchive* zip = nullptr;
    if (s.cached) {
        zip = s.package.IsOpen() ? &s.package : nullptr;
    } else {
        transient.reset(new ZipArchive());
        if (transient->OpenFile(s.path + s.packageName)) zip = transient.get();
    }
    if (!zip) return SkinReadError::OpenZip;
    const ZipEntry* entry = zip->Find(name);
    if (!entry) return SkinReadError::NotInZip;
    if (entry->uncompressedSize == 0) return SkinReadError::Empty;
    ZipExtract rc = zip->Extract(*entry, bytes, limit);
    if (rc == ZipExtract::TooLarge) return SkinReadError::TooLarge;
    if (rc != ZipExtract::Ok) return SkinReadError::Unzip;
    return SkinReadError::None;
}

}  // namespace UiKit
