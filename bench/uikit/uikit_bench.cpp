// Toolkit figures: parse + build of a 300-control window, ZIP lookup and
// inflate of a 100 KB entry, decoding the largest skin image, and a full
// repaint of an 879x600 window of nested layouts. Run by hand under Wine.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/message_pump.h"
#include "tests/support/png_maker.h"
#include "tests/uikit/core/ui_test_window.h"
#include "tests/support/zip_maker.h"
#include "uikit/core/skin_builder.h"
#include "uikit/markup/image_loader.h"
#include "uikit/markup/skin_settings.h"
#include "uikit/markup/zip_reader.h"

using namespace UiKit;

namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return c.QuadPart * 1000.0 / f.QuadPart;
}

int CountControls(CControlUI* c) {
    int n = 1;
    if (auto* box = static_cast<IContainerUI*>(c->FindInterface(L"IContainer")))
        for (int i = 0; i < box->GetCount(); ++i) n += CountControls(box->GetItemAt(i));
    return n;
}

// 1 root, 30 rows, 9 controls in each: 301 controls.
std::wstring WindowMarkup(const std::wstring& image, bool plain = false, bool borders = true) {
    std::wstring m = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"879,600\" caption=\"0,0,0,30\">"
                     L"<Font name=\"Arial\" size=\"12\" default=\"true\"/><Font name=\"Arial\" size=\"14\" bold=\"true\"/>"
                     L"<VerticalLayout name=\"root\" bkcolor=\"#FFF0F0F0\" inset=\"4,4,4,4\">";
    const wchar_t* kinds[] = {L"Label", L"Button", L"Control"};
    if (plain) kinds[0] = kinds[1] = L"Control";
    for (int r = 0; r < 30; ++r) {
        m += L"<HorizontalLayout name=\"row" + std::to_wstring(r) + L"\" childpadding=\"2\" bkcolor=\"#FFE0E8F0\">";
        for (int c = 0; c < 9; ++c) {
            std::wstring id = std::to_wstring(r) + L"_" + std::to_wstring(c);
            m += std::wstring(L"<") + kinds[c % 3] + L" name=\"ID_LABEL_" + id + L"\" text=\"Item " + id +
                 L"\" padding=\"1,1,1,1\" bkcolor=\"#FF" + (c % 2 ? L"C0D0E0" : L"D0E0C0") +
                 (borders ? L"\" bordercolor=\"#FF808080\" bordersize=\"1\"" : L"\"") +
                 (c == 4 && !image.empty() ? L" bkimage=\"file='" + image + L"' corner='4,4,4,4'\"" : L"") + L"/>";
        }
        m += L"</HorizontalLayout>";
    }
    m += L"</VerticalLayout></Window>";
    return m;
}

std::wstring LargestSkinImage(std::wstring& folder) {
    folder = UIKIT_BENCH_SKIN_DIR;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*.png").c_str(), &fd);
    std::wstring best;
    ULONGLONG bestSize = 0;
    if (h == INVALID_HANDLE_VALUE) return best;
    do {
        ULONGLONG size = (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        if (size > bestSize) {
            bestSize = size;
            best = fd.cFileName;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return best;
}

void BenchBuild(const std::wstring& markup) {
    const int runs = 200;
    int controls = 0;
    double t0 = NowMs();
    for (int i = 0; i < runs; ++i) {
        CUIWindowManager manager;
        CSkinBuilder builder;
        CControlUI* root = builder.Build(markup.c_str(), nullptr, nullptr, &manager);
        if (root) controls = CountControls(root);
        delete root;
    }
    printf("parse + build of a %d-control window (%zu characters): %.3f ms\n", controls, markup.size(),
           (NowMs() - t0) / runs);
}

void BenchZip() {
    uikit_test::ZipMaker zip;
    std::string big;
    while (big.size() < 100 * 1024) big += "<Label name=\"ID_LABEL_" + std::to_string(big.size()) + "\" text=\"x\"/>\n";
    big.resize(100 * 1024);
    for (int i = 0; i < 60; ++i) zip.Add("PNG_ITEM_" + std::to_string(i) + ".png", std::string(2000, char('a' + i % 26)));
    zip.Add("skin/WndBig.xml", big);
    std::string bytes = zip.Finish();
    ZipArchive archive;
    archive.Open(bytes.data(), bytes.size());
    const int runs = 500;
    std::string out;
    double t0 = NowMs();
    for (int i = 0; i < runs; ++i) {
        const ZipEntry* e = archive.Find(L"SKIN/wndbig.XML");
        if (!e || archive.Extract(*e, out) != ZipExtract::Ok) {
            printf("zip: extraction failed\n");
            return;
        }
    }
    printf("zip lookup + inflate of a %zu-byte entry among 61: %.3f ms\n", out.size(), (NowMs() - t0) / runs);
}

void BenchDecode(const std::wstring& folder, const std::wstring& name) {
    if (name.empty()) {
        printf("png decode: no skin images found\n");
        return;
    }
    std::string bytes;
    ReadDiskFile(folder + name, bytes, 64u << 20);
    const int runs = 100;
    UIImageInfo image;
    double t0 = NowMs();
    for (int i = 0; i < runs; ++i) {
        DecodeImage(bytes.data(), bytes.size(), 0, image);
        FreeImage(image);
    }
    DecodeImage(bytes.data(), bytes.size(), 0, image);
    printf("png decode of the largest skin image %ls (%zu bytes, %dx%d): %.3f ms\n", name.c_str(), bytes.size(),
           image.width, image.height, (NowMs() - t0) / runs);
    FreeImage(image);
}

void BenchPaint(const std::wstring& markup, const char* what) {
    uikit_test::TestWindow w(markup);
    HWND h = w.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, 879, 600);
    if (!h) return;
    SetWindowPos(h, nullptr, 0, 0, 879, 600, SWP_NOMOVE | SWP_NOZORDER);
    w.Paint();
    const int runs = 100;
    double t0 = NowMs();
    for (int i = 0; i < runs; ++i) {
        InvalidateRect(h, nullptr, FALSE);
        UpdateWindow(h);
    }
    double paint = (NowMs() - t0) / runs;
    t0 = NowMs();
    for (int i = 0; i < runs; ++i) {
        w.Manager().NeedUpdate();
        InvalidateRect(h, nullptr, FALSE);
        UpdateWindow(h);
    }
    printf("full repaint of 879x600 nested layouts%s: %.3f ms (with layout: %.3f ms)\n", what, paint,
           (NowMs() - t0) / runs);
}

}  // namespace

// "--show N": only shows the benchmarked window for N seconds, to look at.
void Show(const std::wstring& markup, int seconds) {
    uikit_test::TestWindow w(markup);
    HWND h = w.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, 879, 600);
    if (!h) return;
    SetWindowPos(h, nullptr, 0, 0, 879, 600, SWP_NOMOVE | SWP_NOZORDER);
    testing_support::PumpFor(seconds * 1000);
}

int main(int argc, char** argv) {
    std::wstring folder;
    std::wstring image = LargestSkinImage(folder);
    CSkinSettings::SetResourcePath(folder);
    std::wstring markup = WindowMarkup(image);
    if (argc > 2 && strcmp(argv[1], "--show") == 0) {
        Show(markup, atoi(argv[2]));
        return 0;
    }
    BenchBuild(markup);
    BenchZip();
    BenchDecode(folder, image);
    BenchPaint(markup, "");
    BenchPaint(WindowMarkup(image, true), ", no text");
    BenchPaint(WindowMarkup(image, true, false), ", no text or borders");
    BenchPaint(WindowMarkup(L"", true, false), ", colours only");
    return 0;
}
