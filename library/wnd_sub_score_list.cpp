#include "library/wnd_sub_score_list.h"

#include <cwchar>

void* CWndSubScoreList::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"WndSubScoreList") == 0) return this;
    return CVerticalLayoutUI::FindInterface(name);
}
