#include "library/overwrite_question.h"

#include "frame/lang_format.h"
#include "frame/lang_table.h"

OverwriteQuestion OverwriteMessageBox(HWND owner) {
    return [owner](const std::wstring& name) {
        const std::wstring text = FormatLangText(GetLangText(L"ID_MSG_ERR_FILE_EXIST"), name);
        const std::wstring caption = GetLangText(L"ID_WND_MELVANE_TITLE");
        return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
    };
}
