// The question asked before a score being added replaces one of the same name.
#pragma once
#include <windows.h>

#include <string>

#include "library/library_storage.h"

// Yes/No message box owned by owner, worded in the current language.
OverwriteQuestion OverwriteMessageBox(HWND owner);

// Puts arg in place of the first "%s" of a text from a language file and turns
// "%%" into "%". Anything else stays as written, so a translated text with
// stray or extra directives cannot read arguments that are not there.
std::wstring FormatOneString(const std::wstring& format, const std::wstring& arg);
