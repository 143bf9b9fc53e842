// Version resources read through the version API: the plug-in's own, a
// hand-made one with extreme numbers and one without a translation table.
#include <gtest/gtest.h>

#include "frame/version_info.h"
#include "tests/support/test_support.h"

using testing_support::BinFolder;

namespace {
#define MELVANE_WIDEN2(s) L##s
#define MELVANE_WIDEN(s) MELVANE_WIDEN2(s)
const wchar_t kBuiltVersion[] = MELVANE_WIDEN(MELVANE_TEXT_VERSION);

std::wstring Bin(const wchar_t* name) { return BinFolder() + name; }
}  // namespace

TEST(FileVersionInfo, PluginCarriesTheProjectVersion) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.ReadFromFile(Bin(L"ZYQMelvane.dll")));
    EXPECT_EQ(info.FixedInfo().dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.FirstTranslation(), MAKELONG(0x0409, 1200));
    EXPECT_EQ(info.TranslationCount(), 1u);
    EXPECT_EQ(GetFileVersionText(nullptr, Bin(L"ZYQMelvane.dll")), kBuiltVersion);

    // Read through the loaded module, as the player's status line does.
    HMODULE plugin = LoadLibraryW(Bin(L"ZYQMelvane.dll").c_str());
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(GetFileVersionText(plugin, L""), kBuiltVersion);
    FreeLibrary(plugin);
}

TEST(FileVersionInfo, NumbersAreDecimalWithoutPaddingAndTranslationsAreCounted) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.ReadFromFile(Bin(L"frame_extra_versioned.dll")));
    EXPECT_EQ(info.FirstTranslation(), MAKELONG(0x0407, 1200));
    EXPECT_EQ(info.TranslationCount(), 2u);
    EXPECT_EQ(GetFileVersionText(nullptr, Bin(L"frame_extra_versioned.dll")), L"65535.0.10.7");

    HMODULE dll = LoadLibraryW(Bin(L"frame_extra_versioned.dll").c_str());
    ASSERT_NE(dll, nullptr);
    CFileVersionInfo fromModule;
    EXPECT_TRUE(fromModule.ReadFromModule(dll));
    EXPECT_EQ(fromModule.FileVersionMS(), MAKELONG(0, 65535));
    EXPECT_EQ(GetFileVersionText(dll, L""), L"65535.0.10.7");
    FreeLibrary(dll);
}

TEST(FileVersionInfo, ResourceWithoutTranslationTableReadsAsFailed) {
    CFileVersionInfo info;
    EXPECT_FALSE(info.ReadFromFile(Bin(L"frame_extra_notrans.dll")));
    EXPECT_FALSE(info.IsValid());
    EXPECT_EQ(info.FileVersionMS(), 0u);
    EXPECT_EQ(info.FirstTranslation(), 0u);
    EXPECT_EQ(GetFileVersionText(nullptr, Bin(L"frame_extra_notrans.dll")), L"0.0.0.0");

    // A good read after a failed one starts from a clean record, and a failed
    // read after a good one leaves nothing of the first behind.
    EXPECT_TRUE(info.ReadFromFile(Bin(L"frame_extra_versioned.dll")));
    EXPECT_FALSE(info.ReadFromFile(Bin(L"frame_extra_notrans.dll")));
    EXPECT_EQ(info.FileVersionMS(), 0u);
    EXPECT_EQ(info.TranslationCount(), 0u);
}

TEST(FileVersionInfo, MissingInputsGiveEmptyOrZeroText) {
    testing_support::TempDir dir;
    EXPECT_EQ(GetFileVersionText(nullptr, dir / L"missing.dll"), L"");
    EXPECT_EQ(GetFileVersionText(nullptr, L""), L"");
    EXPECT_FALSE(CFileVersionInfo().ReadFromModule(nullptr));

    // Files without any version resource: a test executable and a text file.
    EXPECT_EQ(GetFileVersionText(GetModuleHandleW(nullptr), L""), L"0.0.0.0");
    testing_support::WriteFileBytes(dir / L"plain.dll", "MZ not really a module");
    EXPECT_EQ(GetFileVersionText(nullptr, dir / L"plain.dll"), L"0.0.0.0");
}
