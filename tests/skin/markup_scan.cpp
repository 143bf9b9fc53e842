#include "tests/skin/markup_scan.h"

#include <cctype>
#include <cstdlib>

namespace skin_test {
namespace {

bool Blank(char c) { return c >= 1 && c <= 32; }
bool NameChar(char c) { return c == '_' || c == ':' || std::isalnum(static_cast<unsigned char>(c)); }

std::string Decode(const std::string& raw) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < raw.size();) {
        bool replaced = false;
        for (const auto& e : kEntities) {
            const std::string ent = e.first;
            if (raw.compare(i, ent.size(), ent) == 0) {
                out += e.second;
                i += ent.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += raw[i++];
    }
    return out;
}

class Scanner {
public:
    explicit Scanner(const std::string& t) : t_(t) {}

    MarkupDoc Run() {
        if (t_.compare(0, 3, "\xEF\xBB\xBF") == 0) p_ = 3;
        SkipMisc();
        if (p_ >= t_.size()) return Fail("no document element");
        if (!Element(-1)) return doc_;
        SkipMisc();
        if (p_ < t_.size()) return Fail("text after the document element");
        return doc_;
    }

private:
    MarkupDoc Fail(const std::string& why) {
        if (doc_.error.empty()) doc_.error = why + " at offset " + std::to_string(p_);
        return doc_;
    }
    bool Error(const std::string& why) {
        Fail(why);
        return false;
    }
    void SkipBlanks() {
        while (p_ < t_.size() && Blank(t_[p_])) ++p_;
    }
    // Blanks, processing instructions and comments, where an element may begin.
    bool SkipMisc() {
        for (;;) {
            SkipBlanks();
            if (t_.compare(p_, 2, "<?") == 0) {
                size_t e = t_.find("?>", p_);
                if (e == std::string::npos) return Error("unterminated processing instruction");
                p_ = e + 2;
            } else if (t_.compare(p_, 2, "<!") == 0) {
                size_t e = t_.find("->", p_);
                if (e == std::string::npos) return Error("unterminated comment");
                p_ = e + 2;
            } else {
                return true;
            }
        }
    }
    std::string Name() {
        size_t s = p_;
        while (p_ < t_.size() && NameChar(t_[p_])) ++p_;
        return t_.substr(s, p_ - s);
    }
    bool Element(int parent) {
        if (p_ >= t_.size() || t_[p_] != '<') return Error("expected start tag");
        ++p_;
        SkipBlanks();
        MarkupElement e;
        e.name = Name();
        e.parent = parent;
        if (e.name.empty()) return Error("error parsing element name");
        const int self = static_cast<int>(doc_.elements.size());
        for (;;) {
            SkipBlanks();
            if (p_ >= t_.size()) return Error("expected start-tag closing");
            if (t_.compare(p_, 2, "/>") == 0) {
                p_ += 2;
                doc_.elements.push_back(e);
                return true;
            }
            if (t_[p_] == '>') {
                ++p_;
                break;
            }
            std::string key = Name();
            if (key.empty()) return Error("expected start-tag closing");
            SkipBlanks();
            if (p_ >= t_.size() || t_[p_] != '=') return Error("error while parsing attributes");
            ++p_;
            SkipBlanks();
            if (p_ >= t_.size() || t_[p_] != '"') return Error("expected attribute value");
            size_t end = t_.find('"', p_ + 1);
            if (end == std::string::npos) return Error("error while parsing attribute string");
            e.attrs.emplace_back(key, Decode(t_.substr(p_ + 1, end - p_ - 1)));
            p_ = end + 1;
            if (p_ < t_.size() && !Blank(t_[p_]) && t_[p_] != '>' && t_[p_] != '/')
                return Error("attributes must be separated by blanks");
        }
        doc_.elements.push_back(e);
        for (;;) {
            size_t lt = t_.find('<', p_);
            if (lt == std::string::npos) return Error("expected end-tag start");
            p_ = lt;
            if (t_.compare(p_, 2, "</") == 0) {
                p_ += 2;
                SkipBlanks();
                std::string closing = Name();
                SkipBlanks();
                if (closing != doc_.elements[self].name || p_ >= t_.size() || t_[p_] != '>')
                    return Error("unmatched closing tag");
                ++p_;
                return true;
            }
            if (t_.compare(p_, 2, "<?") == 0 || t_.compare(p_, 2, "<!") == 0) {
                if (!SkipMisc()) return false;
                continue;
            }
            if (!Element(self)) return false;
        }
    }

    const std::string& t_;
    size_t p_ = 0;
    MarkupDoc doc_;
};

}  // namespace

bool MarkupElement::Has(const std::string& key) const {
    for (const auto& a : attrs)
        if (a.first == key) return true;
    return false;
}

std::string MarkupElement::Attr(const std::string& key) const {
    for (const auto& a : attrs)
        if (a.first == key) return a.second;
    return "";
}

const MarkupElement* MarkupDoc::Named(const std::string& name) const {
    for (const auto& e : elements)
        if (e.Attr("name") == name) return &e;
    return nullptr;
}

std::vector<const MarkupElement*> MarkupDoc::ChildrenOf(const MarkupElement* parent) const {
    std::vector<const MarkupElement*> out;
    const int index = static_cast<int>(parent - elements.data());
    for (const auto& e : elements)
        if (e.parent == index) out.push_back(&e);
    return out;
}

std::vector<const MarkupElement*> MarkupDoc::OfType(const std::string& elementName) const {
    std::vector<const MarkupElement*> out;
    for (const auto& e : elements)
        if (e.name == elementName) out.push_back(&e);
    return out;
}

MarkupDoc ScanMarkup(const std::string& utf8) { return Scanner(utf8).Run(); }

namespace {

// Items key<q>value<q> separated by exactly one space, q being the quote.
bool ParseItems(const std::string& t, char quote, std::vector<std::pair<std::string, std::string>>& items) {
    items.clear();
    size_t p = 0;
    while (p < t.size()) {
        size_t eq = t.find('=', p);
        if (eq == std::string::npos || eq == p) return false;
        std::string key = t.substr(p, eq - p);
        for (char c : key)
            if (!NameChar(c)) return false;
        if (eq + 1 >= t.size() || t[eq + 1] != quote) return false;
        size_t close = t.find(quote, eq + 2);
        if (close == std::string::npos) return false;
        items.emplace_back(key, t.substr(eq + 2, close - eq - 2));
        p = close + 1;
        if (p == t.size()) return true;
        if (t[p] != ' ' || p + 1 == t.size() || t[p + 1] == ' ') return false;
        ++p;
    }
    return !items.empty();
}

}  // namespace

bool ParseAttributeList(const std::string& text, std::vector<std::pair<std::string, std::string>>& items) {
    return ParseItems(text, '"', items);
}

bool ParseImageDescription(const std::string& text, std::vector<std::pair<std::string, std::string>>& items) {
    if (text.find('=') == std::string::npos) {
        items.clear();
        items.emplace_back("file", text);
        return !text.empty() && text.find(' ') == std::string::npos;
    }
    static const char* kKeys[] = {"file", "res", "restype", "dest", "source", "corner",
                                  "mask", "fade", "hole", "xtiled", "ytiled"};
    if (!ParseItems(text, '\'', items)) return false;
    for (const auto& item : items) {
        bool known = false;
        for (const char* k : kKeys) known = known || item.first == k;
        if (!known) return false;
    }
    return true;
}

bool ParseRect(const std::string& text, int out[4]) {
    const char* s = text.c_str();
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        out[i] = static_cast<int>(std::strtol(s, &end, 10));
        if (end == s) return false;
        s = end;
        if (i < 3) {
            if (*s != ',') return false;
            ++s;
        }
    }
    return *s == '\0';
}

std::vector<std::string> ImagesInValue(const std::string& attrName, const std::string& value) {
    std::vector<std::string> names;
    const bool imageAttr = attrName.size() >= 5 && attrName.compare(attrName.size() - 5, 5, "image") == 0;
    if (imageAttr) {
        std::vector<std::pair<std::string, std::string>> items;
        if (ParseImageDescription(value, items))
            for (const auto& item : items)
                if (item.first == "file" || item.first == "res") names.push_back(item.second);
        return names;
    }
    for (size_t p = 0; p + 3 < value.size(); ++p) {
        if ((value[p] == '{' || value[p] == '<') && value[p + 1] == 'i' && value[p + 2] == ' ') {
            size_t e = value.find_first_of(" }>", p + 3);
            names.push_back(value.substr(p + 3, e == std::string::npos ? std::string::npos : e - p - 3));
        }
    }
    return names;
}

}  // namespace skin_test
