// What the build put into the plug-in: the skin package (resource 103) as a
// sound archive holding every markup file and every image that the markup or
// the code names, with the frame layouts the windows cut from them, and the
// loading picture, icon and cursors beside it.
#include <set>
#include <vector>

#include "tests/skin/png_check.h"
#include "tests/skin/skin_fixture.h"

namespace skin_test {
namespace {

TEST_F(SkinPackageTest, PackageIsASoundArchiveOfFlatNames) {
    ASSERT_NE(dll_, nullptr) << "ZYQMelvane.dll did not load as a data file";
    EXPECT_TRUE(zip_.error.empty()) << zip_.error;
    EXPECT_FALSE(zip_.entries.empty());
    for (const auto& e : zip_.entries) {
        EXPECT_EQ(e.first.find_first_of("/\\"), std::string::npos) << e.first << " is not a bare name";
        EXPECT_FALSE(e.second.empty()) << e.first << " is empty";
    }
    for (const char* file : kMarkupFiles) EXPECT_NE(Entry(file), nullptr) << file << " is missing";
}

TEST_F(SkinPackageTest, EveryMarkupFileFollowsTheGrammar) {
    for (const char* file : kMarkupFiles) {
        auto it = markup_.find(file);
        ASSERT_NE(it, markup_.end()) << file;
        const MarkupDoc& doc = it->second;
        EXPECT_TRUE(doc.error.empty()) << file << ": " << doc.error;
        ASSERT_FALSE(doc.elements.empty()) << file;
        EXPECT_EQ(doc.elements[0].name, "Window") << file;
        // The builder reads markup as UTF-8; anything else would garble the texts.
        const std::string& text = *Entry(file);
        EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0), 0) << file << " is not valid UTF-8";
    }
}

// Every attribute list and image description is read up to its first break,
// silently; a typo there would drop the rest without any message.
TEST_F(SkinPackageTest, AttributeListsAndImageDescriptionsParseToTheirEnd) {
    size_t descriptions = 0;
    for (const auto& [file, doc] : markup_) {
        for (const auto& e : doc.elements) {
            std::vector<std::pair<std::string, std::string>> attrs = e.attrs;
            if (e.name == "Default") {
                std::vector<std::pair<std::string, std::string>> nested;
                EXPECT_TRUE(ParseAttributeList(e.Attr("value"), nested)) << file << " Default " << e.Attr("name");
                attrs.insert(attrs.end(), nested.begin(), nested.end());
            }
            for (const auto& [key, value] : attrs) {
                if (key.size() < 5 || key.compare(key.size() - 5, 5, "image") != 0) continue;
                std::vector<std::pair<std::string, std::string>> items;
                EXPECT_TRUE(ParseImageDescription(value, items)) << file << " " << key << "=" << value;
                ++descriptions;
            }
        }
    }
    EXPECT_GT(descriptions, 100u);
}

std::set<std::string> ImagesNamedBy(const MarkupDoc& doc) {
    std::set<std::string> names;
    for (const auto& e : doc.elements) {
        std::vector<std::pair<std::string, std::string>> attrs = e.attrs;
        if (e.name == "Default") {
            std::vector<std::pair<std::string, std::string>> nested;
            ParseAttributeList(e.Attr("value"), nested);
            attrs.insert(attrs.end(), nested.begin(), nested.end());
        }
        for (const auto& [key, value] : attrs)
            for (const std::string& n : ImagesInValue(key, value)) names.insert(n);
    }
    return names;
}

TEST_F(SkinPackageTest, EveryImageTheMarkupNamesIsPackagedAndDecodes) {
    std::set<std::string> all;
    for (const auto& [file, doc] : markup_) {
        for (const std::string& name : ImagesNamedBy(doc)) {
            all.insert(name);
            const std::string* bytes = Entry(name);
            ASSERT_NE(bytes, nullptr) << file << " names " << name << ", which is not in the package";
            PngInfo png = CheckPng(*bytes);
            EXPECT_TRUE(png.ok) << name << ": " << png.error;
        }
    }
    EXPECT_TRUE(all.count("PNG_BK_MENU.png")) << "the menus' default list was not followed";
    EXPECT_TRUE(all.count("PNG_BTN_SEARCH.png")) << "formatted-text images were not followed";
    EXPECT_GT(all.size(), 50u);
}

TEST_F(SkinPackageTest, ImagesTheCodeNamesArePackaged) {
    const char* const names[] = {
        "PNG_BK_WND.png", "PNG_PLUGIN_ZYQVESTRA_CLOSE.png", "PNG_PLUGIN_ZYQVESTRA_MIN.png",
        "PNG_PLUGIN_ZYQVESTRA_MAX.png", "PNG_PLUGIN_ZYQVESTRA_RESTORE.png", "PNG_PLUGIN_ZYQVESTRA_SETTINGS.png",
        "PNG_BK_SPLASH.png", "ID_PNG_PLAY_TIMER.png", "PNG_LIST_ITEM_SELECTED_1.png",
        "PNG_FOLDER_COLLAPSE.png", "PNG_FOLDER_EXPAND.png", "PNG_FOLDER_FLAG.png", "PNG_FILE_FLAG.png"};
    for (const char* name : names) {
        const std::string* bytes = Entry(name);
        ASSERT_NE(bytes, nullptr) << name;
        EXPECT_TRUE(CheckPng(*bytes).ok) << name;
    }
}

TEST_F(SkinPackageTest, EveryPackagedImageIsACompletePng) {
    size_t images = 0;
    for (const auto& [name, bytes] : zip_.entries) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
        PngInfo png = CheckPng(bytes);
        EXPECT_TRUE(png.ok) << name << ": " << png.error;
        ++images;
    }
    EXPECT_GE(images, 50u);
}

// Frame layouts that markup and code cut out by fixed source rectangles.
TEST_F(SkinPackageTest, ImagesHaveTheirFrameLayouts) {
    struct Size {
        const char* name;
        int w, h;
    };
    const Size sizes[] = {
        {"PNG_PLUGIN_ZYQVESTRA_SETTINGS.png", 3 * 19, 19}, {"PNG_PLUGIN_ZYQVESTRA_MIN.png", 3 * 19, 19},
        {"PNG_PLUGIN_ZYQVESTRA_MAX.png", 3 * 19, 19}, {"PNG_PLUGIN_ZYQVESTRA_RESTORE.png", 3 * 19, 19},
        {"PNG_PLUGIN_ZYQVESTRA_CLOSE.png", 3 * 19, 19}, {"PNG_OPEN.png", 4 * 41, 38},
        {"PNG_ZOOM_IN.png", 4 * 41, 38}, {"PNG_ZOOM_OUT.png", 4 * 41, 38}, {"PNG_ZOOM_WIDTH.png", 4 * 41, 38},
        {"PNG_REPEAT_AB.png", 4 * 41, 38}, {"PNG_MEASURE_HOME.png", 4 * 41, 38},
        {"PNG_MEASURE_PREV.png", 4 * 41, 38}, {"PNG_MEASURE_NEXT.png", 4 * 41, 38},
        {"PNG_MEASURE_END.png", 4 * 41, 38}, {"PNG_COMBO.png", 100, 3 * 28},
        {"PNG_TEMPO_PLUS.png", 4 * 32, 29}, {"PNG_TEMPO_ADD.png", 4 * 33, 29}, {"PNG_TEMPO_DIS.png", 67, 29},
        {"PNG_SLIDER_THUMB_BK.png", 21, 17}, {"PNG_BTN_PLAY_LEFT.png", 64, 32},
        {"PNG_BTN_PLAY_RIGHT.png", 64, 32}, {"PNG_SCORE_PAUSE.png", 4 * 44, 44},
        {"PNG_SCORE_STOP.png", 4 * 44, 44}, {"PNG_SCORE_PLAY.png", 4 * 56, 56},
        {"PNG_BTN_HIDE_SCORE_LIST.png", 2 * 10, 72}, {"PNG_BTN_SHOW_SCORE_LIST.png", 2 * 10, 72},
        {"PNG_HIDE_OP_PANEL.png", 2 * 73, 10}, {"PNG_SHOW_OP_PANEL.png", 2 * 73, 10},
        {"PNG_WND_SIZEBOX.png", 15, 14}, {"ID_PNG_PLAY_TIMER.png", 3 * 270, 270},
        {"PNG_LIST_ITEM_SELECTED_1.png", 734, 187}, {"PNG_BTN_MAIN_CONFIG_EXIT.png", 3 * 19, 19},
        {"PNG_SETTING_LOGO.png", 19, 19}, {"PNG_BTN_POP_OK.png", 3 * 86, 30},
        {"PNG_BTN_POP_CANCEL.png", 3 * 86, 30}, {"PNG_BK_SPLASH.png", 174, 39},
    };
    for (const Size& s : sizes) {
        const std::string* bytes = Entry(s.name);
        ASSERT_NE(bytes, nullptr) << s.name;
        PngInfo png = CheckPng(*bytes);
        EXPECT_EQ(png.width, s.w) << s.name;
        EXPECT_EQ(png.height, s.h) << s.name;
    }
    // The count-in and the row highlights are drawn over other content.
    EXPECT_TRUE(CheckPng(*Entry("ID_PNG_PLAY_TIMER.png")).hasAlpha);
    EXPECT_TRUE(CheckPng(*Entry("PNG_LIST_ITEM_SELECTED_1.png")).hasAlpha);
}

// Every source rectangle cut from an image, by markup or by the code's own
// descriptions (count-in frames, selected-row slices, ruler), lies inside it.
TEST_F(SkinPackageTest, SourceRectanglesLieInsideTheirImages) {
    std::vector<std::pair<std::string, std::string>> cuts = {
        {"ID_PNG_PLAY_TIMER.png", "0,0,270,270"},   {"ID_PNG_PLAY_TIMER.png", "270,0,540,270"},
        {"ID_PNG_PLAY_TIMER.png", "540,0,810,270"}, {"PNG_LIST_ITEM_SELECTED_1.png", "187,0,374,187"},
        {"PNG_LIST_ITEM_SELECTED_1.png", "374,0,554,25"}, {"PNG_LIST_ITEM_SELECTED_1.png", "554,0,734,25"},
    };
    for (const auto& [file, doc] : markup_) {
        for (const auto& e : doc.elements) {
            std::vector<std::pair<std::string, std::string>> attrs = e.attrs;
            if (e.name == "Default") {
                std::vector<std::pair<std::string, std::string>> nested;
                ParseAttributeList(e.Attr("value"), nested);
                attrs.insert(attrs.end(), nested.begin(), nested.end());
            }
            for (const auto& [key, value] : attrs) {
                std::vector<std::pair<std::string, std::string>> items;
                if (key.find("image") == std::string::npos || !ParseImageDescription(value, items)) continue;
                std::string image;
                for (const auto& [k, v] : items) {
                    if (k == "file") image = v;
                    if (k == "source") cuts.emplace_back(image, v);
                }
            }
        }
    }
    EXPECT_GT(cuts.size(), 100u);
    for (const auto& [image, rect] : cuts) {
        int r[4];
        ASSERT_TRUE(ParseRect(rect, r)) << image << " source " << rect;
        const std::string* bytes = Entry(image);
        ASSERT_NE(bytes, nullptr) << image;
        PngInfo png = CheckPng(*bytes);
        EXPECT_TRUE(r[0] >= 0 && r[1] >= 0 && r[0] < r[2] && r[1] < r[3] && r[2] <= png.width && r[3] <= png.height)
            << image << " (" << png.width << "x" << png.height << ") source " << rect;
    }
}

TEST_F(SkinPackageTest, LoadingPictureIsResource110Of174By39) {
    PngInfo png = CheckPng(ResourceBytes(dll_, L"PNG", 110));
    EXPECT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.width, 174);
    EXPECT_EQ(png.height, 39);
}

TEST_F(SkinPackageTest, IconResource106ServesLargeAndSmallSizes) {
    const std::string group = ResourceBytes(dll_, RT_GROUP_ICON, 106);
    ASSERT_FALSE(group.empty());
    for (int size : {16, 32}) {
        int id = LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(const_cast<char*>(group.data())), TRUE,
                                             size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0) << size;
        std::string bits = ResourceBytes(dll_, RT_ICON, id);
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(&bits[0]), static_cast<DWORD>(bits.size()),
                                              TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObject(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// The hover (104) and drag (105) hands: 24 x 24, their hot spot on the hand
// itself and the corners clear, so the cursor is a hand and not a box.
TEST_F(SkinPackageTest, HandCursorsAre24PixelsWithTheirHotSpotOnTheHand) {
    for (int id : {104, 105}) {
        const std::string group = ResourceBytes(dll_, RT_GROUP_CURSOR, id);
        ASSERT_FALSE(group.empty()) << id;
        int entry = LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(const_cast<char*>(group.data())), FALSE,
                                                24, 24, LR_DEFAULTCOLOR);
        ASSERT_NE(entry, 0) << id;
        std::string bits = ResourceBytes(dll_, RT_CURSOR, entry);
        ASSERT_GT(bits.size(), 4 + sizeof(BITMAPINFOHEADER) + 24 * 24 * 4) << id;
        const int hotX = *reinterpret_cast<const WORD*>(&bits[0]);
        const int hotY = *reinterpret_cast<const WORD*>(&bits[2]);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(&bits[4]);
        ASSERT_EQ(header->biWidth, 24) << id;
        ASSERT_EQ(header->biHeight, 48) << id;  // colour and mask halves
        ASSERT_EQ(header->biBitCount, 32) << id;
        const unsigned char* pixels = reinterpret_cast<const unsigned char*>(header + 1);
        auto alpha = [&](int x, int y) { return pixels[((23 - y) * 24 + x) * 4 + 3]; };
        EXPECT_EQ(alpha(hotX, hotY), 255) << id << " hot spot " << hotX << "," << hotY;
        EXPECT_EQ(alpha(0, 0), 0) << id;
        EXPECT_EQ(alpha(23, 23), 0) << id;

        HCURSOR cursor = reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(
            reinterpret_cast<PBYTE>(&bits[0]), static_cast<DWORD>(bits.size()), FALSE, 0x00030000, 24, 24, 0));
        ASSERT_NE(cursor, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_EQ(static_cast<int>(info.xHotspot), hotX);
        EXPECT_EQ(static_cast<int>(info.yHotspot), hotY);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyCursor(cursor);
    }
}

}  // namespace
}  // namespace skin_test
