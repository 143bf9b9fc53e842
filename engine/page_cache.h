// The page view's pixels, kept between paints. The page is drawn once per
// page, scale and score without highlights into a bitmap; painting the view
// then copies from it and tints the highlighted notes' boxes on the way:
// every pixel keeps its share of ink and takes the highlight colour for the
// paper's share, which is what drawing the note over a highlight fill gives.
// So a moving highlight costs two small copies, not a page drawing. Pages
// too large to keep (the highest zooms) are drawn directly.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "abi/dib_section.h"
#include "engine/renderer.h"

namespace zyqn {

class CPageCache {
public:
    CPageCache() = default;
    CPageCache(const CPageCache&) = delete;
    CPageCache& operator=(const CPageCache&) = delete;

    // Draws the page into view (origin, clip, highlights) on dc. render(dc,
    // view) draws the page itself; box(ref) is the page box of a note on
    // this page, or null. scoreSerial tells one loaded score from the next.
    using RenderFn = std::function<void(HDC, const PageView&)>;
    using BoxFn = std::function<const Box*(const EventRef&)>;
    void Draw(HDC dc, const PageView& view, int page, unsigned scoreSerial, SIZE pageSize, const RenderFn& render,
              const BoxFn& box);
    void Clear();

private:
    bool Prepare(SIZE size);
    void DrawHighlight(HDC dc, const RECT& device, POINT origin);

    DibCanvas clean_;  // the page without highlights
    // The tinted pixels go through one canvas kept for the next highlight,
    // grown when a box needs more.
    DibCanvas tint_;
    int page_ = -1;
    float scale_ = 0;
    unsigned serial_ = 0;
};

// The colour a pixel of a note drawn over the highlight has, from the same
// pixel drawn over paper (one channel).
unsigned char HighlightChannel(unsigned char clean, unsigned char ink, unsigned char paper, unsigned char highlight);

}  // namespace zyqn
