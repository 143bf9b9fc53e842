// The packaged markup read by the toolkit's own parser gives the same
// document as the independent scan: same elements in the same order, same
// attributes, and the default lists split into the same items.
#include <functional>

#include "tests/skin/skin_fixture.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/markup.h"

namespace skin_test {
namespace {

std::string Narrow(const wchar_t* w) {
    std::string out(WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
}

TEST_F(SkinPackageTest, ToolkitParserReadsEveryMarkupFileAlike) {
    for (const char* file : kMarkupFiles) {
        const std::string* text = Entry(file);
        ASSERT_NE(text, nullptr) << file;
        UiKit::CSkinMarkup markup;
        ASSERT_TRUE(markup.LoadFromMem(text->data(), text->size(), UiKit::MarkupEncoding::Utf8))
            << file << ": " << Narrow(markup.GetLastErrorMessage().c_str()) << " at "
            << Narrow(markup.GetLastErrorLocation().c_str());
        const MarkupDoc& scanned = markup_[file];
        size_t index = 0;
        std::function<void(UiKit::CSkinMarkupNode)> walk = [&](UiKit::CSkinMarkupNode node) {
            for (; node.IsValid(); node = node.GetSibling()) {
                ASSERT_LT(index, scanned.elements.size()) << file;
                const MarkupElement& e = scanned.elements[index++];
                EXPECT_EQ(Narrow(node.GetName()), e.name) << file;
                ASSERT_EQ(node.GetAttributeCount(), static_cast<int>(e.attrs.size())) << file << " " << e.name;
                for (int i = 0; i < node.GetAttributeCount(); ++i) {
                    EXPECT_EQ(Narrow(node.GetAttributeName(i)), e.attrs[i].first) << file;
                    EXPECT_EQ(Narrow(node.GetAttributeValue(i)), e.attrs[i].second) << file;
                }
                if (e.name == "Default") {
                    std::vector<std::pair<std::string, std::string>> items;
                    ParseAttributeList(e.Attr("value"), items);
                    EXPECT_EQ(UiKit::ParseAttributeList(node.GetAttributeValue(L"value")).size(), items.size())
                        << file << " Default " << e.Attr("name");
                }
                walk(node.GetChild());
            }
        };
        walk(markup.GetRoot());
        EXPECT_EQ(index, scanned.elements.size()) << file;
    }
}

}  // namespace
}  // namespace skin_test
