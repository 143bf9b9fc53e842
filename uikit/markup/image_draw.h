// Drawing a decoded skin image: a source part into a destination with
// nine-grid corners, an optional hole, tiling of the middle and a constant
// opacity. Alpha-blended images go through AlphaBlend (msimg32, looked up
// at first use) or, without it, a software blend with the same result.
#pragma once
#include <windows.h>

#include "uikit/markup/image_loader.h"

namespace UiKit {

struct ImagePartParams {
    RECT dest = {0, 0, 0, 0};    // window coordinates
    RECT source = {0, 0, 0, 0};  // image coordinates, already clipped
    RECT corner = {0, 0, 0, 0};
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

// Draws into hdc, limited to clip. Scaled parts come from the image cache
// (image_cache.h) once drawn at their size.
void DrawImagePart(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params);
// The same, drawn afresh every time.
void DrawImagePartUncached(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& params);
// Blends the source part of image (selected into src) over dest: AlphaBlend,
// or a software blend with the same result where there is none.
void BlendImagePart(HDC hdc, const RECT& dest, HDC src, const UIImageInfo& image, const RECT& source, BYTE fade);

// Tests turn AlphaBlend off to check the software path.
void SetSoftwareBlendForced(bool forced);

}  // namespace UiKit
