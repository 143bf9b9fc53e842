// The skin markup document: a small XML dialect parsed in place into one
// UTF-16 buffer, with an element table and per-element attribute tables.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "uikit/markup/ui_string.h"

namespace UiKit {

enum class MarkupEncoding { Utf8, Ansi, Utf16 };

// Markup files above this size are refused ("File too large").
constexpr size_t kMaxMarkupFileBytes = 4194304;
// Deeper nesting is refused ("Elements nested too deeply").
constexpr size_t kMaxMarkupDepth = 256;
// Attributes after this many of one element are not seen.
constexpr size_t kMaxMarkupAttributes = 64;

class CSkinMarkup;

// A cursor on one element of a document; it stays usable while the document
// it came from is alive and not reloaded.
class CSkinMarkupNode {
public:
    CSkinMarkupNode() = default;
    CSkinMarkupNode(const CSkinMarkup* owner, int index) : owner_(owner), index_(index) {}

    bool IsValid() const { return owner_ != nullptr; }
    CSkinMarkupNode GetParent() const;
    CSkinMarkupNode GetChild() const;
    CSkinMarkupNode GetChild(const wchar_t* name) const;
    CSkinMarkupNode GetSibling() const;
    bool HasChildren() const;

    const wchar_t* GetName() const;
    // The content text before the first child element.
    const wchar_t* GetValue() const;

    int GetAttributeCount() const;
    // Empty strings for an index out of range.
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // nullptr when the element has no such attribute.
    const wchar_t* GetAttributeValue(const wchar_t* name) const;
    // Copies into buf (cch characters with the terminator), truncating.
    bool GetAttributeValue(const wchar_t* name, wchar_t* buf, size_t cch) const;

private:
    const CSkinMarkup* owner_ = nullptr;
    int index_ = 0;
};

class CSkinMarkup {
public:
    CSkinMarkup() = default;
    explicit CSkinMarkup(const wchar_t* text) { Load(text); }

    bool Load(const wchar_t* text);
    bool LoadFromMem(const void* data, size_t size, MarkupEncoding encoding = MarkupEncoding::Utf8);
    // A file under the resource path, or an entry of the skin package.
    bool LoadFromFile(const CUIString& name, MarkupEncoding encoding = MarkupEncoding::Utf8);
    void Release();

    bool IsValid() const { return elements_.size() > 1; }
    CSkinMarkupNode GetRoot() const;

    const CUIString& GetLastErrorMessage() const { return errorMessage_; }
    const CUIString& GetLastErrorLocation() const { return errorLocation_; }

private:
    friend class CSkinMarkupNode;
    struct Element {
        size_t name = 0;
        size_t data = 0;
        int child = 0;
        int next = 0;
        int parent = 0;
        int lastChild = 0;
        size_t firstAttr = 0;
        size_t attrCount = 0;
    };
    struct Attribute {
        size_t name = 0;
        size_t value = 0;
    };

    bool Parse();
    bool ParseElement(size_t& p, int parent, int depth);
    bool ParseAttributes(size_t& p, int element);
    // Copies text up to `stop` (or the end) replacing entities, writes the
    // terminator and leaves p on the stop character.
    void ParseData(size_t& p, wchar_t stop);
    bool SkipMarkupDeclaration(size_t& p);
    void SkipBlanks(size_t& p) const;
    bool Fail(const wchar_t* message, size_t at);
    int AddElement(int parent);

    std::vector<wchar_t> text_;  // terminated; the parser writes into it
    size_t end_ = 0;             // index of the final terminator
    std::vector<Element> elements_;
    std::vector<Attribute> attributes_;
    // Terminators are collected while parsing and written only at the end:
    // the character after a name is still needed to parse what follows it.
    std::vector<size_t> terms_;
    CUIString errorMessage_;
    CUIString errorLocation_;
};

}  // namespace UiKit
