// The system's file-open dialog that picks scores: the player's open button
// and the library panel's "add scores" show the same one, with one title,
// one filter and one result buffer.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

// The dialog's caption: the player closes a dialog still open by it.
extern const wchar_t kScoreDialogTitle[];

// The dialog's setup over buffer (size characters, zero-filled by the
// caller); several allows choosing more than one file.
OPENFILENAMEW ScoreDialogSetup(HWND owner, bool several, wchar_t* buffer, DWORD size);

// The dialog's result buffer as full paths: one full path, or a folder
// followed by file names, each part zero-terminated and the list ending in
// two zeros.
std::vector<std::wstring> ChosenFiles(const wchar_t* buffer, size_t size);

// Shows the dialog modally over owner: the chosen files' full paths, none
// when the user cancels.
std::vector<std::wstring> AskForScoreFiles(HWND owner, bool several);
