#include "uikit/markup/attr_values.h"

#include <cwchar>
#include <cwctype>

namespace UiKit {
namespace {

const wchar_t* Safe(const wchar_t* s) { return s ? s : L""; }

// Reads up to count numbers; after each, skips one separator unless it is
// the terminator.
void ReadNumbers(const wchar_t* value, long* out, int count) {
    const wchar_t* p = Safe(value);
    for (int i = 0; i < count; ++i) {
        wchar_t* end = nullptr;
        out[i] = wcstol(p, &end, 10);
        p = end;
        if (*p == L'\0') return;
        ++p;
    }
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

bool ParseBool(const wchar_t* value) { return wcscmp(Safe(value), L"true") == 0; }

long ParseInt(const wchar_t* value) { return wcstol(Safe(value), nullptr, 10); }

RECT ParseRect(const wchar_t* value) {
    long n[4] = {0, 0, 0, 0};
    ReadNumbers(value, n, 4);
    return RECT{n[0], n[1], n[2], n[3]};
}

SIZE ParseSize(const wchar_t* value) {
    long n[2] = {0, 0};
    ReadNumbers(value, n, 2);
    return SIZE{n[0], n[1]};
}

DWORD ParseColor(const wchar_t* value, bool skipBlanks) {
    const wchar_t* p = Safe(value);
    if (skipBlanks)
        while (*p > 0 && *p <= 32) ++p;
    if (*p == L'#') ++p;
    return static_cast<DWORD>(wcstoul(p, nullptr, 16));
}

std::vector<AttributePair> ParseAttributeList(const wchar_t* list) {
    std::vector<AttributePair> items;
    const wchar_t* p = Safe(list);
    while (*p) {
        const wchar_t* eq = p;
        while (*eq && *eq != L'=' && !IsSpace(*eq)) ++eq;
        if (*eq != L'=' || eq == p || eq[1] != L'"') break;
        const wchar_t* v = eq + 2;
        const wchar_t* q = v;
        while (*q && *q != L'"') ++q;
        if (*q != L'"') break;
        items.emplace_back(CUIString(p, eq), CUIString(v, q));
        p = q + 1;
        if (*p != L' ') break;
        ++p;
    }
    return items;
}

namespace {

void SetName(std::vector<ImageDrawItem>& items, bool& named, const CUIString& name, bool startsNew) {
    // A second file: what was described so far is drawn first.
    if (startsNew && named && items.back().name != name) items.push_back(items.back());
    items.back().name = name;
    named = true;
}

void ApplyKey(std::vector<ImageDrawItem>& items, bool& named, const CUIString& k, const CUIString& val) {
    ImageDrawItem& cur = items.back();
    if (k == L"file" || k == L"res") SetName(items, named, val, k == L"file");
    else if (k == L"restype") cur.resType = val;
    else if (k == L"dest") {
        cur.dest = ParseRect(val.c_str());
        cur.hasDest = true;
    } else if (k == L"source") cur.source = ParseRect(val.c_str());
    else if (k == L"corner") cur.corner = ParseRect(val.c_str());
    else if (k == L"mask") cur.mask = ParseColor(val.c_str());
    else if (k == L"fade") {
        long f = ParseInt(val.c_str());
        cur.fade = static_cast<BYTE>(f < 0 ? 0 : f > 255 ? 255 : f);
    } else if (k == L"hole") cur.hole = ParseBool(val.c_str());
    else if (k == L"xtiled") cur.xtiled = ParseBool(val.c_str());
    else if (k == L"ytiled") cur.ytiled = ParseBool(val.c_str());
}

// Applies the items of one description to the list.
void ApplyDescription(const wchar_t* text, std::vector<ImageDrawItem>& items, bool& named) {
    const wchar_t* p = Safe(text);
    for (;;) {
        while (IsSpace(*p)) ++p;
        if (!*p) return;
        const wchar_t* key = p;
        while (*p && *p != L'=') ++p;
        if (*p != L'=') return;
        const wchar_t* keyEnd = p;
        while (keyEnd > key && IsSpace(keyEnd[-1])) --keyEnd;
        // "name.png source='...'": a bare image name may lead the items.
        const wchar_t* word = keyEnd;
        while (word > key && !IsSpace(word[-1])) --word;
        ++p;
        while (IsSpace(*p)) ++p;
        if (*p != L'\'') return;
        const wchar_t* v = ++p;
        while (*p && *p != L'\'') ++p;
        if (*p != L'\'') return;
        CUIString val(v, p);
        ++p;
        if (word > key) {
            const wchar_t* lead = word;
            while (lead > key && IsSpace(lead[-1])) --lead;
            SetName(items, named, CUIString(key, lead), true);
        }
        if (!val.empty()) ApplyKey(items, named, CUIString(word, keyEnd), val);
        if (*p != L' ') return;
    }
}

}  // namespace

std::vector<ImageDrawItem> ParseImageDescription(const wchar_t* description, const wchar_t* modify) {
    std::vector<ImageDrawItem> items(1);
    items[0].name = Safe(description);  // a bare name is the whole value
    bool named = false;
    ApplyDescription(description, items, named);
    // The computed description follows the same rules; its keys override.
    if (modify && *modify) ApplyDescription(modify, items, named);
    return items;
}

}  // namespace UiKit
