// Building the drop shadow of the 879x600 player window with its 4x4 rounded
// region: the span scan over the real region, the image computation alone,
// and the whole rebuild of a real shadow window (bitmap and layered update).
// Prints the median and the slowest of each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "frame/wnd_shadow.h"
#include "frame/wnd_shadow_image.h"
#include "tests/support/host_window.h"

namespace {
const int kWidth = 879, kHeight = 600, kRuns = 41;

double Milliseconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

template <typename Fn>
void Measure(const char* what, Fn fn) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        fn();
        QueryPerformanceCounter(&b);
        times.push_back(Milliseconds(a, b));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-40s median %7.3f ms   max %7.3f ms   (%d runs)\n", what, times[times.size() / 2], times.back(),
                kRuns);
}
}  // namespace

int main() {
    HRGN region = CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 4, 4);
    std::vector<ShadowImage::Span> spans;
    Measure("span scan of the rounded region", [&] {
        spans = ShadowImage::ScanSpans(kWidth, kHeight, [region](int x, int y) { return PtInRegion(region, x, y) != 0; });
    });
    DeleteObject(region);

    ShadowImage::Params params;
    SIZE size = ShadowImage::ImageSize(kWidth, kHeight, params);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    Measure("image computation 893x614", [&] {
        std::fill(pixels.begin(), pixels.end(), 0u);
        ShadowImage::Draw(pixels.data(), kWidth, kHeight, spans, params);
    });

    // The whole rebuild as the player window triggers it.
    CWndShadow::Initialize(GetModuleHandleW(nullptr));
    testing_support::HostWindow window(
        testing_support::HostWindow::Options().At(100, 100, kWidth, kHeight).Style(WS_POPUP | WS_VISIBLE).Title(L""));
    HWND parent = window.Hwnd();
    SetWindowRgn(parent, CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 4, 4), TRUE);
    CWndShadow shadow;
    shadow.Create(parent);
    Measure("CWndShadow::Update (rebuild and place)", [&] { shadow.Update(parent); });
    std::printf("aim: under 5 ms for the whole rebuild\n");
    return 0;
}
