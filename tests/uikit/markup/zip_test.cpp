// The package reader: lookup without regard to case, stored and deflated
// entries, and archives that are cut short or state things that are not so.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/support/zip_maker.h"
#include "uikit/markup/zip_reader.h"

using namespace UiKit;
using uikit_test::ZipMaker;

namespace {

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>("skin markup "[i % 12] + (i / 977) % 3);
    return s;
}

std::string SampleArchive() {
    ZipMaker z;
    z.Add("WndMelvane.xml", "<Window/>", false);
    z.Add("images/PNG_OPEN.png", Pattern(5000), true);
    return z.Finish();
}

uint32_t Get32(const std::string& s, size_t at) {
    uint32_t v;
    memcpy(&v, s.data() + at, 4);
    return v;
}
void Set32(std::string& s, size_t at, uint32_t v) { memcpy(&s[at], &v, 4); }

TEST(ZipReader, FindsEntriesWithoutRegardToCaseAndExtractsThem) {
    std::string bytes = SampleArchive();
    ZipArchive zip;
    ASSERT_TRUE(zip.Open(bytes.data(), bytes.size()));
    EXPECT_EQ(2u, zip.Count());
    const ZipEntry* e = zip.Find(L"images\\png_open.PNG");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(8, e->method);
    std::string out;
    EXPECT_EQ(ZipExtract::Ok, zip.Extract(*e, out));
    EXPECT_EQ(Pattern(5000), out);
    e = zip.Find(L"wndmelvane.xml");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(ZipExtract::Ok, zip.Extract(*e, out));
    EXPECT_EQ("<Window/>", out);
    EXPECT_EQ(nullptr, zip.Find(L"WndMelvane.xm"));
    EXPECT_EQ(ZipExtract::TooLarge, zip.Extract(*zip.Find(L"images/PNG_OPEN.png"), out, 4999));
}

// Every prefix of an archive, each in a heap block of exactly its size: the
// reader either refuses it or yields the right bytes, never anything else.
TEST(ZipReader, TruncatedArchivesNeverYieldWrongData) {
    std::string bytes = SampleArchive();
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::unique_ptr<char[]> block(new char[n ? n : 1]);
        memcpy(block.get(), bytes.data(), n);
        ZipArchive zip;
        if (!zip.Open(block.get(), n)) continue;
        for (size_t i = 0; i < zip.Count(); ++i) {
            std::string out;
            if (zip.Extract(zip.EntryAt(i), out) == ZipExtract::Ok) {
                EXPECT_TRUE(out == "<Window/>" || out == Pattern(5000)) << n;
            }
        }
    }
}

TEST(ZipReader, LyingDirectoryIsRefused) {
    const std::string good = SampleArchive();
    // Offsets of the second directory entry's fields.
    size_t dir = Get32(good, good.size() - 6);
    size_t second = dir + 46 + strlen("WndMelvane.xml");
    std::string out;

    std::string bad = good;  // compressed size past the end
    Set32(bad, second + 20, 0x7FFFFFF0);
    ZipArchive zip;
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(1), out));

    bad = good;  // local header offset past the end
    Set32(bad, second + 42, static_cast<uint32_t>(bad.size() - 10));
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(1), out));

    bad = good;  // uncompressed size far above what deflate can give
    Set32(bad, second + 24, 60u << 20);
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(1), out));

    bad = good;  // one byte more than the stream holds
    Set32(bad, second + 24, 5001);
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(1), out));

    bad = good;  // wrong checksum
    Set32(bad, second + 16, Get32(good, second + 16) ^ 1);
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(1), out));

    bad = good;  // more entries than the directory holds
    bad[bad.size() - 12] = 9;
    EXPECT_FALSE(zip.Open(bad.data(), bad.size()));

    bad = good;  // directory beyond the end
    Set32(bad, bad.size() - 6, static_cast<uint32_t>(bad.size()));
    EXPECT_FALSE(zip.Open(bad.data(), bad.size()));

    bad = good;  // a stored entry whose two sizes differ
    Set32(bad, dir + 24, 3);
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Corrupt, zip.Extract(zip.EntryAt(0), out));

    // A smaller stated size gives what was asked for: the stream goes on.
    bad = good;
    Set32(bad, second + 24, 100);
    ASSERT_TRUE(zip.Open(bad.data(), bad.size()));
    EXPECT_EQ(ZipExtract::Ok, zip.Extract(zip.EntryAt(1), out));
    EXPECT_EQ(Pattern(5000).substr(0, 100), out);

    EXPECT_FALSE(zip.Open(nullptr, 100));
    EXPECT_FALSE(zip.Open("PK\x05\x06", 4));
}

}  // namespace
