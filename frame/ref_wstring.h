// The skin-folder argument of the exports: a reference-counted wide string
// passed by value, laid out like ATL's CStringW. The object is one pointer to
// the first character; a header of four 32-bit fields sits in front of it.
#pragma once
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
std::wstring RefWStringValue(RefWString s);
// Gives back the reference the receiver owns: decrement atomically and free
// through the manager when no reference is left.
void RefWStringRelease(RefWString s);
