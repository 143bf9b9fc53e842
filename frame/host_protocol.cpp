#include "frame/host_protocol.h"

#include "frame/plugin_state.h"

namespace {
struct KeyEntry {
    const wchar_t* name;
    int hostCode;
};
const KeyEntry kKeys[15] = {
    {L"bC", 4}, {L"bG", 13}, {L"bD", 7}, {L"bA", 0},  {L"bE", 9},
    {L"bB", 2}, {L"F", 11},  {L"C", 5},  {L"G", 14},  {L"D", 8},
    {L"A", 1},  {L"E", 10},  {L"B", 3},  {L"#F", 12}, {L"#C", 6},
};
}  // namespace

DWORD PackNoteWord(int v1, int v2, int /*v3*/, int v4, int v5) {
    DWORD on = (v5 % 2 == 1) ? 1u : 0u;  // C++ remainder keeps the sign: -1 % 2 == -1
    return (static_cast<DWORD>(v1) & 0xFF) | ((static_cast<DWORD>(v2) & 0xFF) << 8) | (on << 16) |
           ((static_cast<DWORD>(v4) & 0xFF) << 24);
}

int HostKeyCode(int engineKey) {
    return (engineKey >= 0 && engineKey < 15) ? kKeys[engineKey].hostCode : -1;
}

std::wstring KeyName(int engineKey) {
    return (engineKey >= 0 && engineKey < 15) ? kKeys[engineKey].name : L"";
}

namespace {
// Notes and the key are sent, as the host expects, but a host whose thread
// stops pumping (or waits for the plug-in) costs one bounded wait per message
// instead of freezing the player; a hung host is not waited for at all.
const UINT kHostSendTimeoutMs = 300;

void SendToHost(UINT msg, WPARAM wp) {
    HWND host = Plugin().hostWnd;
    if (!host) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(host, msg, wp, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kHostSendTimeoutMs, &result);
}
}  // namespace

void SendNoteToHost(DWORD word) { SendToHost(WM_PLUGIN_NOTE, word); }

void SendResetNotesToHost() { SendNoteToHost(kResetNotesWord); }

void SendKeyToHost(int engineKey) {
    int code = HostKeyCode(engineKey);
    if (code >= 0) SendToHost(WM_PLUGIN_KEY, static_cast<WPARAM>(code));
}

void PostPluginClosedToHost() {
    if (HWND host = Plugin().hostWnd) PostMessageW(host, WM_PLUGIN_CLOSED, kPluginClosedCode, 0);
}
