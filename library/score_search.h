// The score search box: the typed words go, unencoded, to the vendor's score
// search site in the default browser. The address is a pure function of the
// language and the words so that it can be checked without a browser.
#pragma once
#include <string>

// The site variant for a language number, ending in "?word=".
std::wstring SearchBaseAddress(int languageNumber);

// The base address with text appended exactly as typed (no trimming, no
// escaping).
std::wstring SearchAddress(int languageNumber, const std::wstring& text);

// The box shows its hint while it holds nothing of the user's: a text equal
// to the hint counts as empty, compared exactly.
bool IsSearchHint(const std::wstring& text, const std::wstring& hint);
