// The question asked before a score being added replaces one of the same name.
#pragma once
#include <windows.h>

#include <string>

#include "library/library_storage.h"

// Yes/No message box owned by owner, worded in the current language.
OverwriteQuestion OverwriteMessageBox(HWND owner);
