// Per-language INI files in the "Language" folder beside the plug-in.
#pragma once
#include <string>

// Chooses the file whose "General Settings" ID equals languageNumber, or the
// English file (written from the embedded default when missing). Keeps the
// path and the current number; returns the path.
std::wstring SelectLanguageFile(const std::wstring& pluginFolder, int languageNumber);

// The text of an id in the current language file; "\n" becomes a line feed.
std::wstring GetLangText(const wchar_t* id);
inline std::wstring GetLangText(const std::wstring& id) { return GetLangText(id.c_str()); }

int CurrentLanguageNumber();
std::wstring CurrentLanguageFile();
