#include "tests/skin/skin_fixture.h"

#include <algorithm>
#include <cctype>

#include "tests/support/test_support.h"

namespace skin_test {

const char* const kMarkupFiles[6] = {"WndMelvane.xml",      "WndSubScoreList.xml",
                                     "WndModifyScoreDir.xml", "UIItemScoreList.xml",
                                     "UIMenuScoreDir.xml",    "UIMenuScoreItem.xml"};

HMODULE SkinPackageTest::dll_ = nullptr;
ZipContents SkinPackageTest::zip_;
std::map<std::string, MarkupDoc> SkinPackageTest::markup_;

std::string ResourceBytes(HMODULE module, LPCWSTR type, int id) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!res) return "";
    HGLOBAL mem = LoadResource(module, res);
    const DWORD size = SizeofResource(module, res);
    const void* bytes = mem ? LockResource(mem) : nullptr;
    return bytes ? std::string(static_cast<const char*>(bytes), size) : "";
}

void SkinPackageTest::SetUpTestSuite() {
    const std::wstring path = testing_support::BinFolder() + L"ZYQMelvane.dll";
    dll_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!dll_) return;
    zip_ = ReadZip(ResourceBytes(dll_, L"OWNER_DATA", 103));
    for (const char* file : kMarkupFiles) {
        if (const std::string* text = Entry(file)) markup_[file] = ScanMarkup(*text);
    }
}

void SkinPackageTest::TearDownTestSuite() {
    if (dll_) FreeLibrary(dll_);
    dll_ = nullptr;
    zip_ = ZipContents();
    markup_.clear();
}

const std::string* SkinPackageTest::Entry(const std::string& name) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    for (const auto& e : zip_.entries)
        if (lower(e.first) == lower(name)) return &e.second;
    return nullptr;
}

}  // namespace skin_test
