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

// Whether the host took the last message awaited from it in time.
bool hostAnswering = true;

void SendToHost(UINT msg, WPARAM wp) {
    HWND host = Plugin().hostWnd;
    if (!host) return;
    DWORD_PTR result = 0;
    hostAnswering =
        SendMessageTimeoutW(host, msg, wp, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kHostSendTimeoutMs, &result) != 0;
}

bool IsRelease(DWORD word) { return word != kResetNotesWord && !(word & 0x00FF0000); }
}  // namespace

// A release is sent without waiting for the host to take it. The host takes
// sent messages in order, so whatever follows still reaches it after the
// release, but a key struck again (released and struck at one moment) no
// longer waits a whole round trip to the host's thread before it sounds.
// While the host does not answer in time, releases are awaited like every
// other message, so they cannot pile up in a stalled host's queue.
void SendNoteToHost(DWORD word) {
    HWND host = Plugin().hostWnd;
    if (host && hostAnswering && IsRelease(word))
        SendNotifyMessageW(host, WM_PLUGIN_NOTE, word, 0);
    else
        SendToHost(WM_PLUGIN_NOTE, word);
}

void SendResetNotesToHost() { SendNoteToHost(kResetNotesWord); }

void SendKeyToHost(int engineKey) {
    int code = HostKeyCode(engineKey);
    if (code >= 0) SendToHost(WM_PLUGIN_KEY, static_cast<WPARAM>(code));
}

void PostPluginClosedToHost() {
    if (HWND host = Plugin().hostWnd) PostMessageW(host, WM_PLUGIN_CLOSED, kPluginClosedCode, 0);
}
