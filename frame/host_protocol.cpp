#include "frame/host_protocol.h"

#include "frame/plugin_state.h"

namespace {
const wchar_t* const kKeyNames[15] = {L"bC", L"bG", L"bD", L"bA", L"bE", L"bB", L"F", L"C",
                                      L"G",  L"D",  L"A",  L"E",  L"B",  L"#F", L"#C"};
}  // namespace

std::wstring KeyName(int engineKey) {
    return (engineKey >= 0 && engineKey < 15) ? kKeyNames[engineKey] : L"";
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
