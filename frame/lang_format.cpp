#include "frame/lang_format.h"

namespace {
// One scan for both kinds: only "%%" and the first "%<conversion>" are read.
std::wstring Fill(const std::wstring& text, wchar_t conversion, const std::wstring& value) {
    std::wstring out;
    out.reserve(text.size() + value.size());
    bool filled = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size()) {
            if (text[i + 1] == L'%') {
                out += L'%';
                ++i;
                continue;
            }
            if (text[i + 1] == conversion && !filled) {
                out += value;
                filled = true;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
}  // namespace

std::wstring FormatLangText(const std::wstring& text, const std::wstring& value) { return Fill(text, L's', value); }

std::wstring FormatLangText(const std::wstring& text, int value) { return Fill(text, L'd', std::to_wstring(value)); }
