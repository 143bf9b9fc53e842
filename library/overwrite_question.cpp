#include "library/overwrite_question.h"

#include "frame/lang_table.h"

std::wstring FormatOneString(const std::wstring& format, const std::wstring& arg) {
    std::wstring out;
    out.reserve(format.size() + arg.size());
    bool used = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            if (format[i + 1] == L'%') {
                out += L'%';
                ++i;
                continue;
            }
            if (format[i + 1] == L's' && !used) {
                out += arg;
                used = true;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

OverwriteQuestion OverwriteMessageBox(HWND owner) {
    return [owner](const std::wstring& name) {
        const std::wstring text = FormatOneString(GetLangText(L"ID_MSG_ERR_FILE_EXIST"), name);
        const std::wstring caption = GetLangText(L"ID_WND_MELVANE_TITLE");
        return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
    };
}
