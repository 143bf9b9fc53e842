// Scaled skin images kept at the size they are drawn. Stretching and
// blending a nine-grid image on every paint is most of what a window's
// background costs; the cache draws each (image, part, size) once into a
// premultiplied canvas and afterwards copies it: opaque tiles with a plain
// copy, partly transparent ones with a 1:1 blend, empty ones not at all.
#pragma once
#include <windows.h>

#include "uikit/markup/image_draw.h"

namespace UiKit {

// A memory DC with the picture's bitmap selected, to copy or blend from.
// Making a DC and selecting a bitmap costs more than a small copy under
// Wine, so a picture with a serial keeps one DC for its life, handed to
// one user at a time (the object holds a lock while it lives); others get
// a DC of their own that goes with the object.
class ImageSourceDC {
public:
    explicit ImageSourceDC(const UIImageInfo& image);
    ~ImageSourceDC();
    ImageSourceDC(const ImageSourceDC&) = delete;
    ImageSourceDC& operator=(const ImageSourceDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;  // set for a DC of its own
    bool kept_ = false;
};

// Draws the part as DrawImagePart would: rendered once into a canvas through
// render (which draws params at the canvas origin), then copied, limited to
// clip. False when the part is not worth caching (too large, not a DIB
// image, a faded opaque image); the caller then draws it directly.
using RenderPartFn = void (*)(HDC canvas, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params);
bool DrawCachedImagePart(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params,
                         RenderPartFn render);

// Tests compare cached with direct drawing; the cache is on by default.
void SetImageCacheEnabled(bool enabled);
// Drops the canvases and the kept DC of a picture being freed (its serial),
// before its bitmap goes; a picture never comes back, so they would only
// hold memory.
void ForgetImageCanvases(unsigned serial);
// Drops every canvas and kept DC (tests).
void ClearImageCache();
size_t ImageCacheBytes();

}  // namespace UiKit
