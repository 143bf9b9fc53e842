// The host side of the skin-folder string: a string manager of our own that
// allocates the reference-counted buffers the plug-in's exports receive.
#pragma once
#include <string>

#include "abi/ref_wstring.h"

class CHostStringMgr : public IRefStringMgr {
public:
    RefStringData* Allocate(int chars, int charSize) override;
    void Free(RefStringData* data) override;
    RefStringData* Reallocate(RefStringData* data, int chars, int charSize) override;
    RefStringData* GetNilString() override;
    IRefStringMgr* Clone() override { return this; }

    // A new string holding text with one reference, owned by the caller.
    RefWString Make(const std::wstring& text);
    int FreeCount() const { return frees_; }

private:
    int frees_ = 0;
};

CHostStringMgr& HostStrings();
