#include "uikit/controls/formatted_text.h"

#include <cwctype>

namespace UiKit {

namespace {

bool IsTagEnd(wchar_t c) { return c == L'>' || c == L'}'; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void AppendText(std::vector<FormattedToken>& out, const wchar_t* begin, size_t count) {
    if (count == 0) return;
    if (out.empty() || out.back().kind != FormattedToken::kText) {
        out.push_back(FormattedToken{});
        out.back().kind = FormattedToken::kText;
    }
    out.back().text.append(begin, count);
}

// Index just past the next ">" or "}" at or after i, or the end of the text.
size_t SkipPastTagEnd(const wchar_t* s, size_t i) {
    while (s[i] && !IsTagEnd(s[i])) ++i;
    return s[i] ? i + 1 : i;
}

// Finds the closing tag of a raw run: "<" or "{", "/", "r".
size_t FindRawEnd(const wchar_t* s, size_t i) {
    for (; s[i]; ++i) {
        if ((s[i] == L'<' || s[i] == L'{') && s[i + 1] == L'/' && s[i + 2] == L'r') return i;
    }
    return i;
}

}  // namespace

std::vector<FormattedToken> ParseFormattedText(const wchar_t* s) {
    std::vector<FormattedToken> out;
    if (!s) return out;
    size_t i = 0;
    while (s[i]) {
        wchar_t c = s[i];
        if (c != L'<' && c != L'{') {
            size_t start = i;
            while (s[i] && s[i] != L'<' && s[i] != L'{') ++i;
            AppendText(out, s + start, i - start);
            continue;
        }
        wchar_t next = s[i + 1];
        if (c == L'<' && (next == L'{' || next == L'}') && s[i + 2] == L'>') {
            AppendText(out, s + i + 1, 1);
            i += 3;
            continue;
        }
        if (next == L'/') {
            FormattedToken t;
            t.kind = FormattedToken::kClose;
            t.tag = s[i + 2];
            if (t.tag == 0 || IsTagEnd(t.tag)) t.tag = 0;
            i = SkipPastTagEnd(s, i + 2);
            out.push_back(t);
            continue;
        }
        wchar_t after = next ? s[i + 2] : 0;
        if (next >= L'a' && next <= L'z' && (IsBlank(after) || IsTagEnd(after))) {
            FormattedToken t;
            t.kind = FormattedToken::kOpen;
            t.tag = next;
            size_t j = i + 2;
            if (IsBlank(after)) {
                ++j;
                while (IsBlank(s[j])) ++j;
                size_t start = j;
                while (s[j] && !IsTagEnd(s[j])) ++j;
                size_t end = j;
                while (end > start && IsBlank(s[end - 1])) --end;
                t.text.assign(s + start, end - start);
            }
            i = s[j] ? j + 1 : j;
            if (t.tag == L'r') {
                // Raw text: everything up to the closing tag, tags included.
                size_t end = FindRawEnd(s, i);
                AppendText(out, s + i, end - i);
                i = end;
                if (s[i]) i = SkipPastTagEnd(s, i + 2);
                continue;
            }
            out.push_back(t);
            continue;
        }
        AppendText(out, s + i, 1);
        ++i;
    }
    return out;
}

namespace {

bool AllDigits(const CUIString& word) {
    if (word.empty() || word.size() > 6) return false;
    for (wchar_t c : word)
        if (c < L'0' || c > L'9') return false;
    return true;
}

}  // namespace

ImageTagArg ParseImageTagArg(const CUIString& arg) {
    ImageTagArg out;
    // Up to two trailing numbers are the frame count and the frame; a
    // description in quotes may hold blanks of its own, so split from the end.
    CUIString rest = arg;
    std::vector<int> numbers;
    for (int k = 0; k < 2; ++k) {
        size_t end = rest.find_last_not_of(L" \t");
        if (end == CUIString::npos) break;
        size_t start = rest.find_last_of(L" \t", end);
        if (start == CUIString::npos) break;  // the image itself must remain
        CUIString word = rest.substr(start + 1, end - start);
        if (!AllDigits(word)) break;
        numbers.insert(numbers.begin(), std::stoi(word));
        rest.erase(start);
    }
    size_t end = rest.find_last_not_of(L" \t");
    out.image = end == CUIString::npos ? CUIString() : rest.substr(0, end + 1);
    if (!numbers.empty()) out.frames = numbers[0] > 0 ? numbers[0] : 1;
    if (numbers.size() > 1) out.frame = numbers[1];
    if (out.frame < 0 || out.frame >= out.frames) out.frame = 0;
    return out;
}

}  // namespace UiKit
