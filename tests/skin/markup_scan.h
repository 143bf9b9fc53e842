// A small scanner for the skin markup dialect, written from its grammar and
// independent of the toolkit's parser, so that the shipped markup files can
// be checked on their own: elements, double-quoted attributes with the five
// entities, comments and processing instructions, matching closing tags.
// It is stricter than the toolkit where the toolkit is lenient (end of input
// inside an open element is an error here).
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace skin_test {

struct MarkupElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;  // values decoded
    int parent = -1;                                         // index, -1 at the top
    bool Has(const std::string& key) const;
    std::string Attr(const std::string& key) const;  // empty when absent
};

struct MarkupDoc {
    std::vector<MarkupElement> elements;  // document order
    std::string error;                    // empty when the text follows the grammar
    const MarkupElement* Named(const std::string& name) const;
    std::vector<const MarkupElement*> ChildrenOf(const MarkupElement* e) const;
    std::vector<const MarkupElement*> OfType(const std::string& elementName) const;
};

MarkupDoc ScanMarkup(const std::string& utf8);

// Attribute list: name="value" items separated by exactly one space. False
// when the text does not follow that form to its end (the toolkit would stop
// there silently).
bool ParseAttributeList(const std::string& text, std::vector<std::pair<std::string, std::string>>& items);

// Image description: a bare image name, or key='value' items separated by
// exactly one space. False when the items do not follow that form to the end.
bool ParseImageDescription(const std::string& text, std::vector<std::pair<std::string, std::string>>& items);

// Four comma-separated integers.
bool ParseRect(const std::string& text, int out[4]);

// Image names an attribute value refers to: the file and res items of an
// image description, or the images of formatted text ({i NAME} and <i NAME>).
std::vector<std::string> ImagesInValue(const std::string& attrName, const std::string& value);

}  // namespace skin_test
