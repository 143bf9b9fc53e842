// What the plug-in tells its host window, and how it packs it.
#pragma once
#include <windows.h>

#include <string>

#include "abi/host_messages.h"

// The name the key field shows for an engine key index 0..14 (empty outside).
std::wstring KeyName(int engineKey);

// Messages to the host window given at start; nothing without a host window.
void SendNoteToHost(DWORD word);
void SendResetNotesToHost();
void SendKeyToHost(int engineKey);
void PostPluginClosedToHost();
