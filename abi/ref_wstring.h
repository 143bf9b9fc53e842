// The skin-folder argument of the exports: a reference-counted wide string
// passed by value, laid out like ATL's CStringW. The object is one pointer to
// the first character; a header of four 32-bit fields sits in front of it.
#pragma once
#include <windows.h>

#include <string>

struct RefStringData;

// The string manager's interface as the host's compiler lays it out: a table
// of virtual member functions. Only Free (the second slot) is called here.
struct IRefStringMgr {
    virtual RefStringData* Allocate(int chars, int charSize) = 0;
    virtual void Free(RefStringData* data) = 0;
    virtual RefStringData* Reallocate(RefStringData* data, int chars, int charSize) = 0;
    virtual RefStringData* GetNilString() = 0;
    virtual IRefStringMgr* Clone() = 0;
};

struct RefStringData {
    IRefStringMgr* manager;
    int length;
    int allocLength;
    long refs;
    wchar_t* chars() { return reinterpret_cast<wchar_t*>(this + 1); }
};

// Trivially copyable on purpose: a struct holding one pointer is passed on
// the stack exactly like the host's string object, whatever compiler made it.
struct RefWString {
    wchar_t* psz;
};

// The characters as a std::wstring (empty for a null string).
inline std::wstring RefWStringValue(RefWString s) {
    if (!s.psz) return std::wstring();
    const RefStringData* d = reinterpret_cast<const RefStringData*>(s.psz) - 1;
    if (d->length <= 0) return std::wstring();
    return std::wstring(s.psz, static_cast<size_t>(d->length));
}

// Gives back the reference the receiver owns: decrement atomically and free
// through the manager when no reference is left. A negative count marks a
// locked or static buffer that nobody frees.
inline void RefWStringRelease(RefWString s) {
    if (!s.psz) return;
    RefStringData* d = reinterpret_cast<RefStringData*>(s.psz) - 1;
    if (InterlockedDecrement(&d->refs) <= 0 && d->manager) d->manager->Free(d);
}
