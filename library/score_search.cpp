#include "library/score_search.h"

#include <windows.h>
#include <shellapi.h>

#include "frame/lang_table.h"
#include "library/wnd_sub_score_list.h"
#include "uikit/controls/richedit.h"

namespace {
// The four regional variants of the vendor's score site, all in one place.
const wchar_t kSiteTraditional[] = L"http://tw.melvane-music.com";
const wchar_t kSiteJapanese[] = L"http://jp.melvane-music.com";
const wchar_t kSiteSimplified[] = L"http://cn.melvane-music.com";
const wchar_t kSiteInternational[] = L"http://www.melvane-music.com";
const wchar_t kSearchPath[] = L"/Zyqn-search/?word=";
const wchar_t kSearchBoxName[] = L"ID_EDIT_SEARCH";
}  // namespace

std::wstring SearchBaseAddress(int languageNumber) {
    const wchar_t* site = kSiteInternational;
    switch (languageNumber) {
    case 1028: site = kSiteTraditional; break;
    case 1041: site = kSiteJapanese; break;
    case 2052: site = kSiteSimplified; break;
    default: break;
    }
    return std::wstring(site) + kSearchPath;
}

std::wstring SearchAddress(int languageNumber, const std::wstring& text) {
    return SearchBaseAddress(languageNumber) + text;
}

bool IsSearchHint(const std::wstring& text, const std::wstring& hint) { return text == hint; }

void CWndSubScoreList::SearchScores() {
    if (!searchBox_) return;
    std::wstring text = searchBox_->GetText();
    if (IsSearchHint(text, GetLangText(kSearchBoxName))) return;
    std::wstring address = SearchAddress(CurrentLanguageNumber(), text);
    ShellExecuteW(nullptr, L"Open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

bool CWndSubScoreList::OnSearchSetFocus(UiKit::UINotify& msg) {
    if (!searchBox_ || msg.sender != searchBox_) return false;
    if (IsSearchHint(searchBox_->GetText(), GetLangText(kSearchBoxName))) searchBox_->SetText(L"");
    return true;
}

bool CWndSubScoreList::OnSearchKillFocus(UiKit::UINotify& msg) {
    if (!searchBox_ || msg.sender != searchBox_) return false;
    if (searchBox_->GetText().empty()) searchBox_->SetText(GetLangText(kSearchBoxName));
    return true;
}

void CWndSubScoreList::RefreshSearchText() {
    if (searchBox_) searchBox_->SetText(GetLangText(kSearchBoxName));
}
