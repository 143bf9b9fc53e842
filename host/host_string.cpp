#include "host/host_string.h"

#include <windows.h>

#include <cstring>

RefStringData* CHostStringMgr::Allocate(int chars, int charSize) {
    if (chars < 0 || charSize <= 0) return nullptr;
    size_t bytes = sizeof(RefStringData) + static_cast<size_t>(chars + 1) * static_cast<size_t>(charSize);
    auto* d = static_cast<RefStringData*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!d) return nullptr;
    d->manager = this;
    d->allocLength = chars;
    d->refs = 1;
    return d;
}

void CHostStringMgr::Free(RefStringData* data) {
    ++frees_;
    HeapFree(GetProcessHeap(), 0, data);
}

RefStringData* CHostStringMgr::Reallocate(RefStringData* data, int chars, int charSize) {
    RefStringData* d = Allocate(chars, charSize);
    if (d && data) {
        int keep = data->length < chars ? data->length : chars;
        memcpy(d->chars(), data->chars(), static_cast<size_t>(keep) * static_cast<size_t>(charSize));
        d->length = keep;
        Free(data);
    }
    return d;
}

RefStringData* CHostStringMgr::GetNilString() { return nullptr; }

RefWString CHostStringMgr::Make(const std::wstring& text) {
    RefStringData* d = Allocate(static_cast<int>(text.size()), sizeof(wchar_t));
    if (!d) return RefWString{nullptr};
    memcpy(d->chars(), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    d->length = static_cast<int>(text.size());
    return RefWString{d->chars()};
}

CHostStringMgr& HostStrings() {
    static CHostStringMgr mgr;
    return mgr;
}
