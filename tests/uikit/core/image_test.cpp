// Skin images: decoding with premultiplied alpha and the mask colour, the
// lookup order, the cache, and drawing checked on the pixels of the
// window's offscreen bitmap.
#include <gtest/gtest.h>

#include "abi/dib_section.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"
#include "tests/support/png_maker.h"
#include "tests/uikit/core/ui_test_window.h"
#include "tests/support/zip_maker.h"
#include "uikit/markup/image_cache.h"
#include "uikit/markup/image_draw.h"
#include "uikit/markup/image_loader.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;
using uikit_test::MakePng;
using uikit_test::TestWindow;

namespace {

uint32_t Px(const UIImageInfo& im, int x, int y) {
    const unsigned char* p = im.bits + (static_cast<size_t>(y) * im.width + x) * 4;
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

// 0xAARRGGBB of a pixel of the window's last offscreen paint.
uint32_t Screen(TestWindow& w, int x, int y) {
    HBITMAP bmp = w.Manager().GetOffscreenBitmap();
    DIBSECTION ds = {};
    if (!bmp || GetObjectW(bmp, sizeof(ds), &ds) != sizeof(ds)) return 0xDEADBEEF;
    GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(ds.dsBm.bmBits) + y * ds.dsBm.bmWidthBytes + x * 4;
    return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

TEST(Images, DecodePremultipliesAndMasks) {
    std::string png = MakePng(4, 1, {0xFF0000FF, 0x00FF0080, 0x0A141E00, 0xFF00FFFF});
    UIImageInfo im;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), 0xFFFF00FF, im));
    EXPECT_EQ(4, im.width);
    EXPECT_EQ(1, im.height);
    EXPECT_TRUE(im.alpha);
    EXPECT_EQ(0xFFFF0000u, Px(im, 0, 0));           // opaque: copied
    EXPECT_EQ(0x80008000u, Px(im, 1, 0));           // 255 * 128 / 255 = 128
    EXPECT_EQ(0x00000000u, Px(im, 2, 0));           // transparent: colour gone
    EXPECT_EQ(0x00000000u, Px(im, 3, 0));           // the mask colour
    FreeImage(im);

    std::string opaque = MakePng(2, 1, {0x102030FF, 0x405060FF});
    ASSERT_TRUE(DecodeImage(opaque.data(), opaque.size(), 0, im));
    EXPECT_FALSE(im.alpha);
    EXPECT_EQ(0xFF102030u, Px(im, 0, 0));
    FreeImage(im);

    EXPECT_FALSE(DecodeImage(png.data(), png.size() / 2, 0, im));
    EXPECT_FALSE(DecodeImage("not an image", 12, 0, im));
}

TEST(Images, ExecutableNamesGiveTheirShellIcon) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);  // this test program, an ".exe"
    UIImageInfo im;
    ASSERT_TRUE(LoadSkinImage(path, L"", 0, im));
    EXPECT_EQ(32, im.width);
    EXPECT_EQ(32, im.height);
    EXPECT_FALSE(im.alpha);
    EXPECT_NE(nullptr, im.bitmap);
    FreeImage(im);
}

TEST(Images, LookupOrderAndCacheByName) {
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir / L"PNG_A.png", MakePng(1, 1, {0x112233FF}));
    testing_support::WriteFileBytes(dir / L"abs.png", MakePng(1, 1, {0x445566FF}));
    uikit_test::ZipMaker zip;
    zip.Add("PNG_OPEN.png", MakePng(2, 2, {0x778899FF, 0x778899FF, 0x778899FF, 0x778899FF}));
    testing_support::WriteFileBytes(dir / L"skin.zip", zip.Finish());

    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(dir.Path());
    CUIWindowManager m;
    const UIImageInfo* a = m.GetImageEx(L"PNG_A.png");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(0xFF112233u, Px(*a, 0, 0));
    EXPECT_EQ(a, m.GetImageEx(L"PNG_A.png", L"", 0x12345678));  // cached by name alone
    // An absolute path is read as it is.
    const UIImageInfo* abs = m.GetImageEx(dir / L"abs.png");
    ASSERT_NE(nullptr, abs);
    EXPECT_EQ(0xFF445566u, Px(*abs, 0, 0));
    EXPECT_EQ(nullptr, m.GetImageEx(L"missing.png"));
    // With a package, names are matched without regard to case.
    CSkinSettings::SetResourceZip(L"skin.zip");
    const UIImageInfo* open = m.GetImageEx(L"png_open.PNG");
    ASSERT_NE(nullptr, open);
    EXPECT_EQ(2, open->width);
    EXPECT_EQ(nullptr, m.GetImageEx(L"PNG_B.png"));
    // A restype needs a numeric name.
    EXPECT_EQ(nullptr, m.AddImage(L"PNG_C.png", L"PNG"));
    CSkinSettings::SetResourceZip(L"");
    CSkinSettings::SetResourcePath(L"");
}

// A 6x6 picture: 2-pixel corners in four colours, edges grey, a blue middle.
std::string GridPng() {
    std::vector<uint32_t> px(36);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t c = 0x808080FF;
            bool l = x < 2, r = x >= 4, t = y < 2, b = y >= 4;
            if (l && t) c = 0xFF0000FF;
            else if (r && t) c = 0x00FF00FF;
            else if (l && b) c = 0xFFFF00FF;
            else if (r && b) c = 0x00FFFFFF;
            else if (!l && !r && !t && !b) c = 0x0000FFFF;
            px[y * 6 + x] = c;
        }
    return MakePng(6, 6, px);
}

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::WriteFileBytes(dir_ / L"grid.png", GridPng());
        testing_support::WriteFileBytes(dir_ / L"half.png", MakePng(1, 1, {0xFFFFFF80}));
        CSkinSettings::SetResourceZip(L"");
        CSkinSettings::SetResourcePath(dir_.Path());
    }
    void TearDown() override {
        SetSoftwareBlendForced(false);
        SetImageCacheEnabled(true);
        CSkinSettings::SetResourcePath(L"");
    }
    testing_support::TempDir dir_;
};

TEST_F(DrawTest, NineGridCornersEdgesAndHole) {
    TestWindow w(L"<Window><VerticalLayout bkcolor=\"#FF000000\">"
                 L"<Control name=\"g\" float=\"true\" pos=\"10,10,30,30\" bkimage=\"file='grid.png' corner='2,2,2,2'\"/>"
                 L"<Control name=\"h\" float=\"true\" pos=\"40,10,60,30\" "
                 L"bkimage=\"file='grid.png' corner='2,2,2,2' hole='true'\"/>"
                 L"<Control name=\"s\" float=\"true\" pos=\"70,10,90,30\" "
                 L"bkimage=\"file='grid.png' source='2,2,4,4,99' dest='5,5,15,15'\"/>"
                 L"</VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    // Corners unscaled at the destination's corners.
    EXPECT_EQ(0xFFFF0000u, Screen(w, 10, 10));
    EXPECT_EQ(0xFFFF0000u, Screen(w, 11, 11));
    EXPECT_EQ(0xFF00FF00u, Screen(w, 29, 10));
    EXPECT_EQ(0xFFFFFF00u, Screen(w, 10, 29));
    EXPECT_EQ(0xFF00FFFFu, Screen(w, 28, 28));
    // Edges stretched along, the middle stretched over the rest.
    EXPECT_EQ(0xFF808080u, Screen(w, 20, 10));
    EXPECT_EQ(0xFF808080u, Screen(w, 10, 20));
    EXPECT_EQ(0xFF0000FFu, Screen(w, 20, 20));
    EXPECT_EQ(0xFF0000FFu, Screen(w, 12, 12));
    // With the hole the window's background shows through the middle.
    EXPECT_EQ(0xFF000000u, Screen(w, 50, 20));
    EXPECT_EQ(0xFFFF0000u, Screen(w, 40, 10));
    // A source cut from the middle (five numbers: the first four count),
    // drawn into a dest relative to the control.
    EXPECT_EQ(0xFF000000u, Screen(w, 72, 12));
    EXPECT_EQ(0xFF0000FFu, Screen(w, 75, 15));
    EXPECT_EQ(0xFF0000FFu, Screen(w, 84, 24));
    EXPECT_EQ(0xFF000000u, Screen(w, 86, 26));
    // What the window shows is that bitmap.
    HDC dc = GetDC(w.GetHWND());
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 20, 20));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 10, 10));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 50, 20));
    ReleaseDC(w.GetHWND(), dc);
}

TEST_F(DrawTest, TilingAndFadeWithAndWithoutAlphaBlend) {
    std::wstring markup = L"<Window><VerticalLayout bkcolor=\"#FF000000\">"
                          L"<Control float=\"true\" pos=\"0,0,40,10\" bkimage=\"file='grid.png' source='0,0,4,2' xtiled='true'\"/>"
                          L"<Control float=\"true\" pos=\"0,20,10,30\" bkimage=\"file='half.png'\"/>"
                          L"<Control float=\"true\" pos=\"20,20,30,30\" bkimage=\"file='grid.png' fade='128'\"/>"
                          // Tiles laid from a destination that starts far off the window.
                          L"<Control float=\"true\" pos=\"0,40,40,50\" "
                          L"bkimage=\"file='grid.png' source='0,0,4,2' xtiled='true' dest='-1002,0,40,10'\"/>"
                          // A million one-pixel tiles asked for: only what shows is drawn.
                          L"<Control float=\"true\" pos=\"50,40,150,90\" bkimage=\"file='grid.png' source='0,0,1,1' "
                          L"xtiled='true' ytiled='true' dest='-100000,-100000,100,50'\"/>"
                          L"</VerticalLayout></Window>";
    uint32_t results[2][3];
    for (int software = 0; software < 2; ++software) {
        SetSoftwareBlendForced(software != 0);
        TestWindow w(markup);
        ASSERT_TRUE(w.Open());
        // Tiles of 4 pixels: red, red, grey, grey, red, red ...
        EXPECT_EQ(0xFFFF0000u, Screen(w, 0, 0));
        EXPECT_EQ(0xFF808080u, Screen(w, 2, 0));
        EXPECT_EQ(0xFFFF0000u, Screen(w, 4, 0));
        EXPECT_EQ(0xFF808080u, Screen(w, 39, 0));
        // The tiles keep the destination's grid: a whole tile starts at x = 2
        // (1004 pixels into it), not where the window begins.
        const uint32_t offGrid[] = {0xFFFF0000u, 0xFFFF0000u, 0xFF808080u, 0xFF808080u, 0xFFFF0000u};
        for (int x = 2; x < 7; ++x) EXPECT_EQ(offGrid[x - 2], Screen(w, x, 45)) << x;
        EXPECT_EQ(0xFFFF0000u, Screen(w, 50, 40));
        EXPECT_EQ(0xFFFF0000u, Screen(w, 149, 89));
        results[software][0] = Screen(w, 5, 25);
        results[software][1] = Screen(w, 25, 25);
        results[software][2] = Screen(w, 20, 20);
    }
    for (int i = 0; i < 3; ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            int a = (results[0][i] >> shift) & 0xFF, b = (results[1][i] >> shift) & 0xFF;
            EXPECT_LE(std::abs(a - b), 2) << i << " " << std::hex << results[0][i] << " " << results[1][i];
        }
    }
    // Half-transparent white over black is mid grey; blue at fade 128 is half blue.
    EXPECT_NEAR(128, static_cast<int>(results[0][0] & 0xFF), 2);
    EXPECT_NEAR(128, static_cast<int>(results[0][1] & 0xFF), 2);
    EXPECT_EQ(0u, (results[0][1] >> 16) & 0xFF);
}

// Scaled parts are drawn once and copied afterwards: the copies must show
// exactly what drawing them afresh shows, for every kind of part, also when
// only a piece of the window is painted again.
TEST_F(DrawTest, KeptScaledPartsShowWhatAFreshDrawingShows) {
    std::vector<uint32_t> masked(16, 0x30A050FF);
    masked[0] = masked[3] = masked[12] = masked[15] = 0xFF00FFFF;  // corners in the mask colour
    testing_support::WriteFileBytes(dir_ / L"masked.png", MakePng(4, 4, masked));
    const wchar_t* parts[] = {
        L"file='grid.png'",                                        // opaque, stretched
        L"file='grid.png' corner='2,2,2,2'",                       // nine-grid
        L"file='grid.png' corner='2,2,2,2' hole='true'",           // hole over the backdrop
        L"file='grid.png' source='0,0,4,2' xtiled='true'",         // tiled middle
        L"file='half.png'",                                        // half transparent, stretched
        L"file='grid.png' fade='128'",                             // faded: drawn directly
        L"file='masked.png' mask='#FFFF00FF' corner='1,1,1,1'",    // transparent corners
    };
    std::wstring markup = L"<Window><VerticalLayout bkcolor=\"#FF203040\">";
    int y = 0;
    for (const wchar_t* part : parts) {
        markup += L"<Control float=\"true\" pos=\"3," + std::to_wstring(y + 3) + L",141," + std::to_wstring(y + 40) +
                  L"\" bkimage=\"" + part + L"\"/>";
        y += 41;
    }
    markup += L"</VerticalLayout></Window>";
    // The colours the window shows (a copy keeps the alpha byte a stretch clears).
    auto pixels = [](TestWindow& w) {
        int width = 0, height = 0;
        std::vector<DWORD> px = testing_support::BitmapPixels(w.Manager().GetOffscreenBitmap(), &width, &height);
        for (DWORD& p : px) p &= 0xFFFFFF;
        return px;
    };
    ClearImageCache();
    SetImageCacheEnabled(false);
    TestWindow direct(markup);
    ASSERT_TRUE(direct.Open());
    std::vector<DWORD> expected = pixels(direct);
    EXPECT_FALSE(expected.empty());

    SetImageCacheEnabled(true);
    TestWindow kept(markup);
    ASSERT_TRUE(kept.Open());
    EXPECT_GT(ImageCacheBytes(), 0u);
    EXPECT_TRUE(pixels(kept) == expected) << "first paint, drawing the canvases";
    kept.Paint();
    EXPECT_TRUE(pixels(kept) == expected) << "second paint, copying them";
    // Pieces cutting through the parts, painted alone.
    for (RECT piece : {RECT{50, 0, 77, 300}, RECT{0, 20, 400, 61}, RECT{10, 130, 30, 170}}) {
        InvalidateRect(kept.GetHWND(), &piece, FALSE);
        UpdateWindow(kept.GetHWND());
        EXPECT_TRUE(pixels(kept) == expected) << piece.left << "," << piece.top;
    }
}

// A picture loaded after another was freed may get the same bitmap handle;
// it must not be shown as the old one's kept canvas or through the DC kept
// to draw it at its own size, and a freed picture's canvases and DC are
// freed with it (windows come and go with every start): a bitmap still
// selected into a kept DC would outlive its DeleteObject.
TEST(Images, ANewPictureIsNeverShownAsAnOldOnesCanvas) {
    const RECT scaled = {0, 0, 20, 20}, ownSize = {5, 5, 6, 6};
    for (uint32_t colour : {0xFF0000FFu, 0x0000FFFFu, 0x00FF00FFu}) {
        std::string png = MakePng(1, 1, {colour});
        UIImageInfo im;
        ASSERT_TRUE(DecodeImage(png.data(), png.size(), 0, im));
        const HBITMAP picture = im.bitmap;
        size_t kept = ImageCacheBytes();
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP target = CreateDib32(dc, 20, 20, &bits);
        HGDIOBJ old = SelectObject(dc, target);
        for (RECT dest : {scaled, ownSize}) {
            ImagePartParams p;
            p.dest = dest;
            p.source = RECT{0, 0, 1, 1};
            memset(bits, 0, 20 * 20 * 4);
            DrawImagePart(dc, im, scaled, p);
            GdiFlush();
            uint32_t shown = static_cast<uint32_t*>(bits)[dest.top * 20 + dest.left] & 0xFFFFFF;
            EXPECT_EQ(colour >> 8, shown) << dest.right - dest.left << " pixels wide";
        }
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
        EXPECT_GT(ImageCacheBytes(), kept);
        FreeImage(im);
        EXPECT_EQ(ImageCacheBytes(), kept) << "a freed picture's canvases go with it";
        EXPECT_EQ(0u, GetObjectType(picture)) << "a freed picture's bitmap is gone, not held by a DC";
    }
}

}  // namespace
