// Reads the version resource of a module or file through the version API.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CFileVersionInfo {
public:
    CFileVersionInfo();
    virtual ~CFileVersionInfo();

    // Both return IsValid(); a failed read leaves everything reset.
    bool ReadFromModule(HMODULE module);
    bool ReadFromFile(const std::wstring& path);

    bool IsValid() const { return valid_; }
    const VS_FIXEDFILEINFO& FixedInfo() const { return fixed_; }
    DWORD FileVersionMS() const { return fixed_.dwFileVersionMS; }
    DWORD FileVersionLS() const { return fixed_.dwFileVersionLS; }
    // Language in the low word, code page in the high word.
    DWORD FirstTranslation() const { return translation_; }
    DWORD TranslationCount() const { return translationCount_; }

private:
    void Reset();
    bool ReadVersionResource(const std::wstring& path);

    VS_FIXEDFILEINFO fixed_;
    std::vector<BYTE> block_;
    DWORD translation_ = 0;
    DWORD translationCount_ = 0;
    bool valid_ = false;
};

// "major.minor.build.revision" of the file version. With an empty path the
// module is read (empty text for a null module); otherwise the file (empty
// text when it does not exist). No readable resource gives "0.0.0.0".
std::wstring GetFileVersionText(HMODULE module, const std::wstring& path);
