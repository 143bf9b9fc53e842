#include "library/score_list_ui.h"

#include <cwchar>

void* CScoreListUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ScoreList") == 0) return this;
    return CListUI::FindInterface(name);
}
