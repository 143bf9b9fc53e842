#include "uikit/markup/markup.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwctype>

#include "uikit/markup/skin_settings.h"

namespace UiKit {
namespace {

bool IsBlank(wchar_t c) { return c >= 1 && c <= 32; }
bool IsNameChar(wchar_t c) { return c == L'_' || c == L':' || iswalnum(c); }

const wchar_t kEmpty[] = L"";

bool Convert(UINT codePage, const char* src, size_t n, std::vector<wchar_t>& out) {
    out.clear();
    if (n > INT_MAX) return false;
    int len = n ? MultiByteToWideChar(codePage, 0, src, static_cast<int>(n), nullptr, 0) : 0;
    if (n && len <= 0) return false;
    out.resize(static_cast<size_t>(len) + 1, L'\0');
    if (len) MultiByteToWideChar(codePage, 0, src, static_cast<int>(n), out.data(), len);
    return true;
}

}  // namespace

// ---- node -------------------------------------------------------------

CSkinMarkupNode CSkinMarkupNode::GetParent() const {
    if (!owner_) return CSkinMarkupNode();
    int i = owner_->elements_[index_].parent;
    return i == 0 ? CSkinMarkupNode() : CSkinMarkupNode(owner_, i);
}

CSkinMarkupNode CSkinMarkupNode::GetChild() const {
    if (!owner_) return CSkinMarkupNode();
    int i = owner_->elements_[index_].child;
    return i == 0 ? CSkinMarkupNode() : CSkinMarkupNode(owner_, i);
}

CSkinMarkupNode CSkinMarkupNode::GetChild(const wchar_t* name) const {
    for (CSkinMarkupNode n = GetChild(); n.IsValid(); n = n.GetSibling())
        if (wcscmp(n.GetName(), name) == 0) return n;
    return CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::GetSibling() const {
    if (!owner_) return CSkinMarkupNode();
    int i = owner_->elements_[index_].next;
    return i == 0 ? CSkinMarkupNode() : CSkinMarkupNode(owner_, i);
}

bool CSkinMarkupNode::HasChildren() const { return owner_ && owner_->elements_[index_].child != 0; }

const wchar_t* CSkinMarkupNode::GetName() const {
    return owner_ ? owner_->text_.data() + owner_->elements_[index_].name : kEmpty;
}

const wchar_t* CSkinMarkupNode::GetValue() const {
    return owner_ ? owner_->text_.data() + owner_->elements_[index_].data : kEmpty;
}

int CSkinMarkupNode::GetAttributeCount() const {
    return owner_ ? static_cast<int>(owner_->elements_[index_].attrCount) : 0;
}

const wchar_t* CSkinMarkupNode::GetAttributeName(int i) const {
    if (i < 0 || i >= GetAttributeCount()) return kEmpty;
    return owner_->text_.data() + owner_->attributes_[owner_->elements_[index_].firstAttr + i].name;
}

const wchar_t* CSkinMarkupNode::GetAttributeValue(int i) const {
    if (i < 0 || i >= GetAttributeCount()) return kEmpty;
    return owner_->text_.data() + owner_->attributes_[owner_->elements_[index_].firstAttr + i].value;
}

const wchar_t* CSkinMarkupNode::GetAttributeValue(const wchar_t* name) const {
    int n = GetAttributeCount();
    for (int i = 0; i < n; ++i)
        if (wcscmp(GetAttributeName(i), name) == 0) return GetAttributeValue(i);
    return nullptr;
}

bool CSkinMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buf, size_t cch) const {
    const wchar_t* v = GetAttributeValue(name);
    if (!v || !buf || cch == 0) return false;
    size_t n = wcslen(v);
    if (n >= cch) n = cch - 1;
    wmemcpy(buf, v, n);
    buf[n] = L'\0';
    return true;
}

// ---- document ---------------------------------------------------------

void CSkinMarkup::Release() {
    text_.clear();
    end_ = 0;
    elements_.clear();
    attributes_.clear();
}

CSkinMarkupNode CSkinMarkup::GetRoot() const {
    if (elements_.size() < 2) return CSkinMarkupNode();
    return CSkinMarkupNode(this, elements_[0].child);
}

bool CSkinMarkup::Load(const wchar_t* text) {
    Release();
    errorMessage_.clear();
    errorLocation_.clear();
    if (!text) text = kEmpty;
    text_.assign(text, text + wcslen(text) + 1);
    return Parse();
}

bool CSkinMarkup::LoadFromMem(const void* data, size_t size, MarkupEncoding encoding) {
    Release();
    errorMessage_.clear();
    errorLocation_.clear();
    const char* bytes = static_cast<const char*>(data);
    if (!bytes) size = 0;
    bool ok = true;
    if (encoding == MarkupEncoding::Utf16) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
        bool le = size >= 2 && b[0] == 0xFF && b[1] == 0xFE;
        bool be = size >= 2 && b[0] == 0xFE && b[1] == 0xFF;
        if (!le && !be) return Fail(L"Expected byte order mark", 0);
        size_t count = (size - 2) / 2;
        text_.resize(count + 1, L'\0');
        for (size_t i = 0; i < count; ++i) {
            unsigned char lo = b[2 + 2 * i], hi = b[3 + 2 * i];
            text_[i] = le ? static_cast<wchar_t>(lo | (hi << 8)) : static_cast<wchar_t>(hi | (lo << 8));
        }
    } else if (encoding == MarkupEncoding::Utf8) {
        if (size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
            bytes += 3;
            size -= 3;
        }
        ok = Convert(CP_UTF8, bytes, size, text_);
    } else {
        ok = Convert(CP_ACP, bytes, size, text_);
    }
    if (!ok) return Fail(L"Could not read file", 0);
    return Parse();
}

bool CSkinMarkup::LoadFromFile(const CUIString& name, MarkupEncoding encoding) {
    Release();
    errorMessage_.clear();
    errorLocation_.clear();
    std::string bytes;
    SkinReadError err = ReadSkinFile(name, bytes, kMaxMarkupFileBytes);
    if (err != SkinReadError::None) return Fail(SkinReadErrorText(err), 0);
    return LoadFromMem(bytes.data(), bytes.size(), encoding);
}

bool CSkinMarkup::Fail(const wchar_t* message, size_t at) {
    errorMessage_.assign(message, wcsnlen(message, 99));
    errorLocation_.clear();
    for (size_t i = at; i < end_ && i < text_.size() && text_[i] && errorLocation_.size() < 49; ++i)
        errorLocation_.push_back(text_[i]);
    Release();
    return false;
}

void CSkinMarkup::SkipBlanks(size_t& p) const {
    while (p < end_ && IsBlank(text_[p])) ++p;
}

int CSkinMarkup::AddElement(int parent) {
    int index = static_cast<int>(elements_.size());
    Element e;
    e.parent = parent;
    elements_.push_back(e);
    Element& par = elements_[parent];
    if (par.lastChild) elements_[par.lastChild].next = index;
    else par.child = index;
    par.lastChild = index;
    return index;
}

bool CSkinMarkup::Parse() {
    // The text ends at the first NUL, whatever the buffer holds after it.
    if (text_.empty()) text_.push_back(L'\0');
    end_ = wcsnlen(text_.data(), text_.size());
    if (end_ == text_.size()) text_.push_back(L'\0');
    terms_.clear();
    elements_.assign(1, Element());
    bool ok = true;
    size_t p = 0;
    for (;;) {
        SkipBlanks(p);
        if (p >= end_) break;
        if (text_[p] != L'<') {
            ok = Fail(L"Expected start tag", p);
            break;
        }
        if (p + 1 < end_ && (text_[p + 1] == L'?' || text_[p + 1] == L'!')) {
            SkipMarkupDeclaration(p);
            continue;
        }
        if (!ParseElement(p, 0, 1)) {
            ok = false;
            break;
        }
    }
    if (!ok) return false;
    for (size_t t : terms_) text_[t] = L'\0';
    terms_.clear();
    return true;
}

bool CSkinMarkup::SkipMarkupDeclaration(size_t& p) {
    wchar_t first = text_[p + 1] == L'?' ? L'?' : L'-';
    for (p += 2; p + 1 < end_; ++p) {
        if (text_[p] == first && text_[p + 1] == L'>') {
            p += 2;
            return true;
        }
    }
    p = end_;
    return false;
}

void CSkinMarkup::ParseData(size_t& p, wchar_t stop) {
    static const struct {
        const wchar_t* name;
        size_t len;
        wchar_t ch;
    } kEntities[] = {{L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''}};
    size_t dest = p;
    while (p < end_ && text_[p] != stop) {
        wchar_t c = text_[p];
        size_t used = 1;
        if (c == L'&') {
            for (const auto& e : kEntities) {
                if (end_ - p >= e.len && wcsncmp(&text_[p], e.name, e.len) == 0) {
                    c = e.ch;
                    used = e.len;
                    break;
                }
            }
        }
        p += used;
        text_[dest++] = c;
    }
    terms_.push_back(dest);
}

bool CSkinMarkup::ParseElement(size_t& p, int parent, int depth) {
    // Parsing, building, layout and painting all recurse over the tree: a
    // hostile depth would overflow the stack long before any skin needs it.
    if (depth > static_cast<int>(kMaxMarkupDepth)) return Fail(L"Elements nested too deeply", p);
    ++p;  // '<'
    SkipBlanks(p);
    size_t name = p;
    while (p < end_ && IsNameChar(text_[p])) ++p;
    if (p == name) return Fail(L"Error parsing element name", p);
    size_t nameLen = p - name;
    int el = AddElement(parent);
    elements_[el].name = name;
    elements_[el].data = p;  // the name's terminator: an empty value
    terms_.push_back(p);
    if (!ParseAttributes(p, el)) return false;
    SkipBlanks(p);
    if (p + 1 < end_ && text_[p] == L'/' && text_[p + 1] == L'>') {
        p += 2;
        return true;
    }
    if (p >= end_ || text_[p] != L'>') return Fail(L"Expected start-tag closing", p);
    ++p;

    elements_[el].data = p;
    ParseData(p, L'<');
    bool afterChild = false;
    for (;;) {
        if (p >= end_) {
            // An unclosed top-level element is closed by the end of input.
            if (depth <= 1) return true;
            return Fail(afterChild ? L"Expected start tag" : L"Expected end-tag start", p);
        }
        if (p + 1 < end_ && text_[p + 1] == L'/') break;
        if (p + 1 < end_ && (text_[p + 1] == L'?' || text_[p + 1] == L'!')) SkipMarkupDeclaration(p);
        else if (!ParseElement(p, el, depth + 1)) return false;
        afterChild = true;
        // Text after a child is content too, but only the first run is kept.
        while (p < end_ && text_[p] != L'<') ++p;
    }
    p += 2;  // "</"
    SkipBlanks(p);
    size_t close = p;
    for (size_t i = 0; i < nameLen; ++i)
        if (close + i >= end_ || text_[close + i] != text_[name + i]) return Fail(L"Unmatched closing tag", close);
    p = close + nameLen;
    while (p < end_ && IsNameChar(text_[p])) ++p;
    SkipBlanks(p);
    if (p >= end_ || text_[p] != L'>') return Fail(L"Unmatched closing tag", p);
    ++p;
    return true;
}

bool CSkinMarkup::ParseAttributes(size_t& p, int el) {
    elements_[el].firstAttr = attributes_.size();
    size_t count = 0;
    for (;;) {
        SkipBlanks(p);
        if (p >= end_ || text_[p] == L'/' || text_[p] == L'>') break;
        size_t name = p;
        while (p < end_ && IsNameChar(text_[p])) ++p;
        size_t nameEnd = p;
        SkipBlanks(p);
        if (p >= end_ || text_[p] != L'=') return Fail(L"Error while parsing attributes", p);
        ++p;
        SkipBlanks(p);
        if (p >= end_ || text_[p] != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        size_t value = p;
        ParseData(p, L'"');
        if (p >= end_) return Fail(L"Error while parsing attribute string", p);
        ++p;
        terms_.push_back(nameEnd);
        if (count < kMaxMarkupAttributes) attributes_.push_back({name, value});
        ++count;
    }
    elements_[el].attrCount = count < kMaxMarkupAttributes ? count : kMaxMarkupAttributes;
    return true;
}

}  // namespace UiKit
