#include "frame/ref_wstring.h"

#include <windows.h>

static RefStringData* HeaderOf(RefWString s) {
    return s.psz ? reinterpret_cast<RefStringData*>(s.psz) - 1 : nullptr;
}

std::wstring RefWStringValue(RefWString s) {
    RefStringData* d = HeaderOf(s);
    if (!d || d->length <= 0) return std::wstring();
    return std::wstring(s.psz, static_cast<size_t>(d->length));
}

void RefWStringRelease(RefWString s) {
    RefStringData* d = HeaderOf(s);
    if (!d) return;
    // A negative count marks a locked or static buffer that nobody frees.
    if (InterlockedDecrement(&d->refs) <= 0 && d->manager) d->manager->Free(d);
}
