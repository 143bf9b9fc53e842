// Driving the real player window from the host's side: reading what its
// controls show through the probe message, clicking them, and working the
// open dialog and the message boxes the way a user would.
#pragma once
#include <windows.h>

#include <string>

#include "player/player_probe.h"
#include "tests/support/test_support.h"

namespace player_test {

PlayerProbe Probe(HWND player, const wchar_t* name);
std::wstring TextOf(HWND player, const wchar_t* name);
// Posts a left click at the middle of the named control.
void ClickControl(HWND player, const wchar_t* name);
void ClickAt(HWND player, POINT pt);
// Clicks the open button, types path into the open dialog and confirms it.
bool OpenThroughDialog(HWND player, const std::wstring& path);
// A dialog with this title (any title for null) owned by the player, or null.
HWND FindOwnedDialog(HWND player, const wchar_t* title);
// A message box owned by the player, or null.
HWND FindOwnedMessageBox(HWND player);
std::wstring MessageBoxText(HWND box);
// How many "release all keys" words the host has received: opening a score
// ends with one, so a test waits for it before it counts notes.
size_t ResetWordsAt(const testing_support::RecordingHost& host);
// A score of the sample library beside the tests.
std::wstring SampleScore(const wchar_t* relative);

}  // namespace player_test
