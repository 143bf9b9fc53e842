#include "library/score_file_dialog.h"

#include <cwchar>

const wchar_t kScoreDialogTitle[] = L"Open File";

namespace {
// Room for a multiple choice of long names.
const DWORD kResultChars = 26001;
// What both openers offered. A name typed past the filter still comes back;
// the panel refuses one the library would not list.
const wchar_t kFilter[] = L"Music Files (*.zyqn)\0*.zyqn\0";
}  // namespace

OPENFILENAMEW ScoreDialogSetup(HWND owner, bool several, wchar_t* buffer, DWORD size) {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrDefExt = L"zyqn";
    ofn.lpstrTitle = kScoreDialogTitle;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = size;
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (several ? OFN_ALLOWMULTISELECT : 0);
    return ofn;
}

std::vector<std::wstring> ChosenFiles(const wchar_t* buffer, size_t size) {
    std::vector<std::wstring> parts;
    size_t at = 0;
    while (at < size && buffer[at]) {
        size_t len = wcsnlen(buffer + at, size - at);
        parts.emplace_back(buffer + at, len);
        at += len + 1;
    }
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> files;
    std::wstring folder = parts[0];
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + L"\\" + parts[i]);
    return files;
}

std::vector<std::wstring> AskForScoreFiles(HWND owner, bool several) {
    std::vector<wchar_t> buffer(kResultChars, L'\0');
    OPENFILENAMEW ofn = ScoreDialogSetup(owner, several, buffer.data(), kResultChars);
    if (!GetOpenFileNameW(&ofn)) return {};
    return ChosenFiles(buffer.data(), buffer.size());
}
