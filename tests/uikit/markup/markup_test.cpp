// The markup parser: grammar, error messages with their location, entities,
// encodings, the attribute limit and the file size limit.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"
#include "tests/support/zip_maker.h"
#include "uikit/markup/markup.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;

namespace {

std::wstring ErrorOf(const wchar_t* text) {
    CSkinMarkup m;
    EXPECT_FALSE(m.Load(text)) << text;
    EXPECT_FALSE(m.IsValid());
    return m.GetLastErrorMessage();
}

TEST(Markup, ParsesTreeAttributesAndContent) {
    CSkinMarkup m;
    EXPECT_TRUE(m.Load(L"<?xml version=\"1.0\"?>\n<!-- skin -->\n<Window size=\"879,600\" caption=\"0,0,0,30\">"
                       L"<Font name=\"Arial\" size=\"12\"/><VerticalLayout name=\"a\"><Label text=\"x\" />"
                       L"<Label text=\"y\">  hello  </Label></VerticalLayout></Window>"));
    CSkinMarkupNode root = m.GetRoot();
    EXPECT_TRUE(root.IsValid());
    EXPECT_STREQ(L"Window", root.GetName());
    EXPECT_EQ(2, root.GetAttributeCount());
    EXPECT_STREQ(L"caption", root.GetAttributeName(1));
    EXPECT_STREQ(L"0,0,0,30", root.GetAttributeValue(1));
    EXPECT_STREQ(L"", root.GetAttributeName(2));
    EXPECT_STREQ(L"879,600", root.GetAttributeValue(L"size"));
    EXPECT_EQ(nullptr, root.GetAttributeValue(L"Size"));  // case-sensitive
    CSkinMarkupNode font = root.GetChild();
    EXPECT_STREQ(L"Font", font.GetName());
    EXPECT_FALSE(font.HasChildren());
    CSkinMarkupNode layout = font.GetSibling();
    EXPECT_STREQ(L"VerticalLayout", layout.GetName());
    CSkinMarkupNode second = layout.GetChild().GetSibling();
    EXPECT_STREQ(L"y", second.GetAttributeValue(L"text"));
    EXPECT_STREQ(L"  hello  ", second.GetValue());  // whitespace kept
    EXPECT_FALSE(second.GetSibling().IsValid());
    EXPECT_STREQ(L"VerticalLayout", second.GetParent().GetName());
    EXPECT_FALSE(root.GetParent().IsValid());
    wchar_t buf[4];
    EXPECT_TRUE(root.GetAttributeValue(L"size", buf, 4));
    EXPECT_STREQ(L"879", buf);
}

TEST(Markup, EveryErrorMessage) {
    EXPECT_EQ(L"Expected start tag", ErrorOf(L"hello"));
    EXPECT_EQ(L"Expected start tag", ErrorOf(L"<W><A><B/>"));
    EXPECT_EQ(L"Error parsing element name", ErrorOf(L"<W>< ></W>"));
    EXPECT_EQ(L"Expected start-tag closing", ErrorOf(L"<W a=\"1\" / >"));
    EXPECT_EQ(L"Expected start-tag closing", ErrorOf(L"<W a=\"1\""));
    EXPECT_EQ(L"Error while parsing attributes", ErrorOf(L"<W a b=\"1\"/>"));
    EXPECT_EQ(L"Expected attribute value", ErrorOf(L"<W a='1'/>"));
    EXPECT_EQ(L"Error while parsing attribute string", ErrorOf(L"<W a=\"1/>"));
    EXPECT_EQ(L"Expected end-tag start", ErrorOf(L"<W><A>text"));
    EXPECT_EQ(L"Unmatched closing tag", ErrorOf(L"<W><A></B></W>"));
    EXPECT_EQ(L"Unmatched closing tag", ErrorOf(L"<W><A></A</W>"));
}

TEST(Markup, DeepNestingIsRefusedNotOverflowingTheStack) {
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    CSkinMarkup m;
    EXPECT_FALSE(m.Load(deep.c_str()));
    EXPECT_EQ(L"Elements nested too deeply", m.GetLastErrorMessage());
    std::wstring fine;
    for (int i = 0; i < 256; ++i) fine += L"<a>";
    for (int i = 0; i < 255; ++i) fine += L"</a>";
    EXPECT_TRUE(m.Load(fine.c_str()));
}

TEST(Markup, ErrorLocationIsTheTextWhereParsingStopped) {
    CSkinMarkup m;
    std::wstring tail(80, L'x');
    EXPECT_FALSE(m.Load((L"<W a='" + tail + L"'/>").c_str()));
    EXPECT_EQ(L"Expected attribute value", m.GetLastErrorMessage());
    EXPECT_EQ(49u, m.GetLastErrorLocation().size());
    EXPECT_EQ(L"'" + std::wstring(48, L'x'), m.GetLastErrorLocation());
    EXPECT_FALSE(m.GetRoot().IsValid());
    // The next good load clears the error.
    EXPECT_TRUE(m.Load(L"<W/>"));
    EXPECT_TRUE(m.GetLastErrorMessage().empty());
}

TEST(Markup, ClosingTagRules) {
    CSkinMarkup m;
    // A blank after "</" and before ">" is allowed.
    EXPECT_TRUE(m.Load(L"<W><ScoreList name=\"s\"></ ScoreList ><Label/></W>"));
    EXPECT_STREQ(L"Label", m.GetRoot().GetChild().GetSibling().GetName());
    // The closing name only has to begin with the element's name.
    EXPECT_TRUE(m.Load(L"<W><A></AB></W>"));
    // End of input closes the open top-level element, not a deeper one.
    EXPECT_TRUE(m.Load(L"<Window><Button name=\"b\"/>"));
    EXPECT_STREQ(L"b", m.GetRoot().GetChild().GetAttributeValue(L"name"));
    EXPECT_TRUE(m.Load(L"<Window>text"));
    EXPECT_FALSE(m.Load(L"<Window><VerticalLayout><Button/>"));
}

TEST(Markup, CommentsEndAtTheFirstArrow) {
    CSkinMarkup m;
    EXPECT_TRUE(m.Load(L"<W><!-- a -> <Lost/> --><Kept/></W>"));
    CSkinMarkupNode c = m.GetRoot().GetChild();
    EXPECT_TRUE(c.IsValid());
    // " <Lost/> -->" after the early end is an element and content.
    EXPECT_STREQ(L"Lost", c.GetName());
    EXPECT_STREQ(L"Kept", c.GetSibling().GetName());
}

TEST(Markup, EntitiesInValuesAndContent) {
    CSkinMarkup m;
    EXPECT_TRUE(m.Load(L"<W v=\"a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos; &other; &\">x &lt; y</W>"));
    EXPECT_STREQ(L"a & b <c> \"d\" 'e' &other; &", m.GetRoot().GetAttributeValue(L"v"));
    EXPECT_STREQ(L"x < y", m.GetRoot().GetValue());
}

TEST(Markup, OnlyTheFirst64AttributesAreSeen) {
    std::wstring text = L"<W";
    for (int i = 0; i < 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    text += L"/>";
    CSkinMarkup m;
    EXPECT_TRUE(m.Load(text.c_str()));
    EXPECT_EQ(64, m.GetRoot().GetAttributeCount());
    EXPECT_STREQ(L"63", m.GetRoot().GetAttributeValue(L"a63"));
    EXPECT_EQ(nullptr, m.GetRoot().GetAttributeValue(L"a64"));
}

TEST(Markup, EncodingsAndByteOrderMarks) {
    CSkinMarkup m;
    std::string utf8 = "<W t=\"\xC3\xA9\"/>";
    EXPECT_TRUE(m.LoadFromMem(utf8.data(), utf8.size()));
    EXPECT_STREQ(L"\u00e9", m.GetRoot().GetAttributeValue(L"t"));
    std::string bom = "\xEF\xBB\xBF" + utf8;
    EXPECT_TRUE(m.LoadFromMem(bom.data(), bom.size()));
    EXPECT_STREQ(L"W", m.GetRoot().GetName());

    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : std::wstring(L"<W t=\"\u00e9\"/>")) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    EXPECT_TRUE(m.LoadFromMem(le.data(), le.size(), MarkupEncoding::Utf16));
    EXPECT_STREQ(L"\u00e9", m.GetRoot().GetAttributeValue(L"t"));
    EXPECT_TRUE(m.LoadFromMem(be.data(), be.size(), MarkupEncoding::Utf16));
    EXPECT_STREQ(L"\u00e9", m.GetRoot().GetAttributeValue(L"t"));
    EXPECT_FALSE(m.LoadFromMem(le.data() + 2, le.size() - 2, MarkupEncoding::Utf16));

    std::string ansi = "<W t=\"plain\"/>";
    EXPECT_TRUE(m.LoadFromMem(ansi.data(), ansi.size(), MarkupEncoding::Ansi));
    EXPECT_STREQ(L"plain", m.GetRoot().GetAttributeValue(L"t"));
}

// A markup file of exactly n bytes.
std::string MarkupOfSize(size_t n) {
    std::string head = "<Window>", tail = "</Window>";
    return head + std::string(n - head.size() - tail.size(), ' ') + tail;
}

TEST(MarkupFile, FolderLookupAndSizeLimit) {
    testing_support::TempDir dir;
    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(dir.Path());
    testing_support::WriteFileBytes(dir / L"exact.xml", MarkupOfSize(4194304));
    testing_support::WriteFileBytes(dir / L"over.xml", MarkupOfSize(4194305));
    testing_support::WriteFileBytes(dir / L"empty.xml", "");
    CSkinMarkup m;
    EXPECT_TRUE(m.LoadFromFile(L"exact.xml"));
    EXPECT_FALSE(m.LoadFromFile(L"over.xml"));
    EXPECT_EQ(L"File too large", m.GetLastErrorMessage());
    EXPECT_FALSE(m.LoadFromFile(L"empty.xml"));
    EXPECT_EQ(L"File is empty", m.GetLastErrorMessage());
    EXPECT_FALSE(m.LoadFromFile(L"missing.xml"));
    EXPECT_EQ(L"Error opening file", m.GetLastErrorMessage());
    CSkinSettings::SetResourcePath(L"");
}

TEST(MarkupFile, PackageOnDiskLookup) {
    testing_support::TempDir dir;
    uikit_test::ZipMaker zip;
    zip.Add("skin/Main.xml", "<Window><Label name=\"l\"/></Window>");
    zip.Add("big.xml", MarkupOfSize(4194305));
    zip.Add("exact.xml", MarkupOfSize(4194304), false);
    zip.Add("empty.xml", "");
    testing_support::WriteFileBytes(dir / L"skin.zip", zip.Finish());
    CSkinSettings::SetResourcePath(dir.Path());
    CSkinSettings::SetResourceZip(L"skin.zip");
    CSkinMarkup m;
    EXPECT_TRUE(m.LoadFromFile(L"SKIN\\main.XML"));
    EXPECT_STREQ(L"l", m.GetRoot().GetChild().GetAttributeValue(L"name"));
    EXPECT_TRUE(m.LoadFromFile(L"exact.xml"));
    EXPECT_FALSE(m.LoadFromFile(L"big.xml"));
    EXPECT_EQ(L"File too large", m.GetLastErrorMessage());
    EXPECT_FALSE(m.LoadFromFile(L"empty.xml"));
    EXPECT_EQ(L"File is empty", m.GetLastErrorMessage());
    EXPECT_FALSE(m.LoadFromFile(L"none.xml"));
    EXPECT_EQ(L"Could not find ziped file", m.GetLastErrorMessage());
    CSkinSettings::SetResourceZip(L"nosuch.zip");
    EXPECT_FALSE(m.LoadFromFile(L"skin/Main.xml"));
    EXPECT_EQ(L"Error opening zip file", m.GetLastErrorMessage());
    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(L"");
}

}  // namespace
