// Scaled skin images kept at the size they are drawn. Stretching and
// blending a nine-grid image on every paint is most of what a window's
// background costs; the cache draws each (image, part, size) once into a
// premultiplied canvas and afterwards copies it: opaque tiles with a plain
// copy, partly transparent ones with a 1:1 blend, empty ones not at all.
#pragma once
#include <windows.h>

#include "uikit/markup/image_draw.h"

namespace UiKit {

// Draws the part as DrawImagePart would: rendered once into a canvas through
// render (which draws params at the canvas origin), then copied, limited to
// clip. False when the part is not worth caching (too large, not a DIB
// image, a faded opaque image); the caller then draws it directly.
using RenderPartFn = void (*)(HDC canvas, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params);
bool DrawCachedImagePart(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params,
                         RenderPartFn render);

// Tests compare cached with direct drawing; the cache is on by default.
void SetImageCacheEnabled(bool enabled);
// Drops the canvases of a picture being freed (its serial); a picture never
// comes back, so they would only hold memory.
void ForgetImageCanvases(unsigned serial);
// Drops every canvas (tests).
void ClearImageCache();
size_t ImageCacheBytes();

}  // namespace UiKit
