#include <gtest/gtest.h>

#include "library/settings_file.h"
#include "tests/library/library_disk.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {
std::string Utf16(const std::wstring& s) {
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}
std::wstring SettingsIni(const LibraryDisk& disk) { return SettingsFileOf(disk.PluginFolder()); }
void WriteKeys(const LibraryDisk& disk, const wchar_t* dir, const wchar_t* name) {
    WriteFileBytes(SettingsIni(disk), "\xFF\xFE");
    WritePrivateProfileStringW(L"General Settings", L"ScoreDir", dir, SettingsIni(disk).c_str());
    WritePrivateProfileStringW(L"General Settings", L"ScoreName", name, SettingsIni(disk).c_str());
}
}  // namespace

TEST(SettingsFile, RoundTripStartsWithTheByteOrderMark) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), moon));
    const std::string bytes = ReadFileBytes(SettingsIni(disk));
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_NE(std::string::npos, bytes.find(Utf16(L"[General Settings]")));
    EXPECT_NE(std::string::npos, bytes.find(Utf16(L"ScoreDir=Pop")));
    EXPECT_NE(std::string::npos, bytes.find(Utf16(L"ScoreName=Moon")));
    EXPECT_EQ(moon, ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, NamesOutsideTheAnsiCodePageSurvive) {
    LibraryDisk disk;
    const std::wstring score = disk.Put(L"\u53e4\u5178\\\u6708\u5149 Etude.no.3.zyqn");
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), score));
    EXPECT_EQ(score, ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, An8BitFileIsRewrittenAsUnicodeBeforeNamesOutsideItsCodePage) {
    // Each older file keeps its other lines; names in Chinese, Japanese and
    // accented Latin come back as they were written.
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"8-bit", "[General Settings]\r\nScoreDir=Pop\r\nScoreName=Moon\r\nTheme=dark\r\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBF[General Settings]\r\nTheme=dark\r\n"},
        {"UTF-16 with mark", "\xFF\xFE" + Utf16(L"[General Settings]\r\nTheme=dark\r\n")},
    };
    const wchar_t* scores[] = {L"\u7ec3\u4e60\u66f2\\\u6b22\u4e50\u9882.zyqn", L"\u7df4\u7fd2\\\u3055\u304f\u3089.zyqn",
                               L"Classical\\F\u00fcr Elise.zyqn"};
    for (const auto& file : files) {
        for (const wchar_t* relative : scores) {
            LibraryDisk disk;
            const std::wstring score = disk.Put(relative);
            WriteFileBytes(SettingsIni(disk), file.bytes);
            EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), score)) << file.what;
            EXPECT_EQ(score, ReadRememberedScore(disk.PluginFolder())) << file.what;
            EXPECT_EQ("\xFF\xFE", ReadFileBytes(SettingsIni(disk)).substr(0, 2)) << file.what;
            wchar_t theme[16] = {};
            GetPrivateProfileStringW(L"General Settings", L"Theme", L"", theme, 16, SettingsIni(disk).c_str());
            EXPECT_STREQ(L"dark", theme) << file.what;
        }
    }
}

TEST(SettingsFile, AnEmptyFileGetsItsMarkEvenWhenNothingIsRemembered) {
    LibraryDisk disk;
    WriteFileBytes(SettingsIni(disk), "");
    EXPECT_FALSE(WriteRememberedScore(disk.PluginFolder(), L""));
    EXPECT_EQ("\xFF\xFE", ReadFileBytes(SettingsIni(disk)));
}

TEST(SettingsFile, ReadGivesTheScoreOnlyWhenItIsThere) {
    LibraryDisk disk;
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));  // no settings file
    WriteKeys(disk, L"Pop", L"Moon");
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));  // no such score
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    EXPECT_EQ(moon, ReadRememberedScore(disk.PluginFolder()));

    WriteKeys(disk, L"Pop", nullptr);
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
    WriteKeys(disk, nullptr, L"Moon");
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, HandEditedValuesCannotPointOutsideTheLibrary) {
    LibraryDisk disk;
    testing_support::WriteFileBytes(disk.PluginFolder() + L"Secret.zyqn", "not a library score");
    disk.Put(L"Pop\\Moon.zyqn");
    WriteKeys(disk, L"..", L"Secret");
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
    WriteKeys(disk, L"Pop", L"..\\..\\Secret");
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
    disk.Folder(L"Pop\\Moon.zyqn.zyqn");  // a directory is not a score either
    WriteKeys(disk, L"Pop", L"Moon.zyqn");
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, BrokenFilesAreReadAsNothing) {
    LibraryDisk disk;
    disk.Put(L"Pop\\Moon.zyqn");
    std::string junk;
    for (int i = 0; i < 70000; ++i) junk += static_cast<char>((i * 7919) % 251);
    for (const std::string& content : {junk, std::string("\xFF\xFE[General Settings"), std::string("\xFF"),
                                       std::string(5000, '=')}) {
        WriteFileBytes(SettingsIni(disk), content);
        EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
    }
}

TEST(SettingsFile, ScoresFromElsewhereAreNotRemembered) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), moon));
    const std::string remembered = ReadFileBytes(SettingsIni(disk));

    testing_support::TempDir otherDrive;
    WriteFileBytes(otherDrive / L"Far.zyqn", "x");
    const std::wstring nested = disk.Put(L"Pop\\sub\\Deep.zyqn");
    const std::wstring beside = disk.PluginFolder() + L"Beside.zyqn";
    WriteFileBytes(beside, "x");
    const std::wstring noEnding = disk.Put(L"Pop\\xzyqn");
    for (const std::wstring& path : {otherDrive / L"Far.zyqn", nested, beside, noEnding,
                                     disk.Root() + L"Pop\\Gone.zyqn", disk.Root() + L"Pop\\", std::wstring()}) {
        EXPECT_FALSE(WriteRememberedScore(disk.PluginFolder(), path)) << path;
        EXPECT_EQ(remembered, ReadFileBytes(SettingsIni(disk))) << path;
    }
    EXPECT_EQ(moon, ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, ARenamedFolderIsRememberedUnderItsNewName) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), moon));
    const std::wstring renamed = disk.Library().RenameFolder(disk.Root() + L"Pop\\", L"Etudes.2020");
    EXPECT_EQ(disk.Root() + L"Etudes.2020\\", renamed);
    EXPECT_EQ(L"", ReadRememberedScore(disk.PluginFolder()));
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), renamed + L"Moon.zyqn"));
    EXPECT_EQ(renamed + L"Moon.zyqn", ReadRememberedScore(disk.PluginFolder()));
}

TEST(SettingsFile, AFileThatCannotBeWrittenIsLeftAsItIs) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    const std::wstring star = disk.Put(L"Pop\\Star.zyqn");
    EXPECT_TRUE(WriteRememberedScore(disk.PluginFolder(), moon));
    const std::string remembered = ReadFileBytes(SettingsIni(disk));

    SetReadOnly(SettingsIni(disk), true);
    EXPECT_FALSE(WriteRememberedScore(disk.PluginFolder(), star));
    SetReadOnly(SettingsIni(disk), false);
    EXPECT_EQ(remembered, ReadFileBytes(SettingsIni(disk)));

    {
        HeldOpen held(SettingsIni(disk), 0);
        EXPECT_TRUE(held.Ok());
        EXPECT_FALSE(WriteRememberedScore(disk.PluginFolder(), star));
    }
    EXPECT_EQ(remembered, ReadFileBytes(SettingsIni(disk)));
    EXPECT_EQ(moon, ReadRememberedScore(disk.PluginFolder()));
}
