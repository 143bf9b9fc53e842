#include "tests/player/player_driver.h"

#include "abi/host_messages.h"

namespace player_test {

PlayerProbe Probe(HWND player, const wchar_t* name) {
    static const UINT message = RegisterWindowMessageW(MELVANE_PROBE_MESSAGE_NAME);
    PlayerProbe probe = {};
    SendMessageW(player, message, reinterpret_cast<WPARAM>(name), reinterpret_cast<LPARAM>(&probe));
    return probe;
}

std::wstring TextOf(HWND player, const wchar_t* name) { return Probe(player, name).text; }

void ClickAt(HWND player, POINT pt) {
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    PostMessageW(player, WM_MOUSEMOVE, 0, lp);
    PostMessageW(player, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(player, WM_LBUTTONUP, 0, lp);
}

size_t ResetWordsAt(const testing_support::RecordingHost& host) {
    size_t n = 0;
    for (auto& m : host.Of(WM_PLUGIN_NOTE))
        if (m.wp == kResetNotesWord) ++n;
    return n;
}

void ClickControl(HWND player, const wchar_t* name) {
    RECT rc = Probe(player, name).pos;
    ClickAt(player, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

// Other test programs may show their own dialogs on the same desktop.
HWND FindOwnedDialog(HWND player, const wchar_t* title) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", title)) != nullptr)
        if (GetWindow(found, GW_OWNER) == player) return found;
    return nullptr;
}

bool OpenThroughDialog(HWND player, const std::wstring& path) {
    // The press is sent, so that nothing from the real pointer (another test
    // program may move it) comes between move and press; the release is
    // posted because the dialog it opens is modal. A click lost all the same
    // is tried again.
    // Right after start the window may not have laid its controls out yet.
    RECT rc = {};
    testing_support::PumpUntil([&] {
        rc = Probe(player, L"ID_BTN_OPEN_FILE").pos;
        return rc.right > rc.left;
    });
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 3 && !dialog; ++attempt) {
        rc = Probe(player, L"ID_BTN_OPEN_FILE").pos;
        LPARAM lp = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageW(player, WM_MOUSEMOVE, 0, lp);
        SendMessageW(player, WM_LBUTTONDOWN, MK_LBUTTON, lp);
        PostMessageW(player, WM_LBUTTONUP, 0, lp);
        testing_support::PumpUntil([&] { return (dialog = FindOwnedDialog(player, L"Open File")) != nullptr; }, 8000);
    }
    if (!dialog) return false;
    // The file name field of the explorer-style dialog.
    const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
    if (!SetDlgItemTextW(dialog, kFileNameCombo, path.c_str())) SetDlgItemTextW(dialog, kFileNameEdit, path.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return testing_support::PumpUntil([&] { return !IsWindow(dialog); }, 10000);
}

HWND FindOwnedMessageBox(HWND player) { return FindOwnedDialog(player, nullptr); }

std::wstring MessageBoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

std::wstring SampleScore(const wchar_t* relative) { return testing_support::BinFolder() + L"music\\" + relative; }

}  // namespace player_test
