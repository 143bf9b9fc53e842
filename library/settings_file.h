// "Settings.ini" beside the plug-in: which library score was open when the
// player window last closed. Section "General Settings", keys "ScoreDir" (the
// score's folder name) and "ScoreName" (its file name without extension),
// stored as UTF-16 little-endian with a byte-order mark.
#pragma once
#include <string>

std::wstring SettingsFileOf(const std::wstring& pluginFolder);

// The remembered score's path, or empty when nothing usable is remembered
// (keys missing, the file gone, values that are not plain names).
std::wstring ReadRememberedScore(const std::wstring& pluginFolder);

// Remembers currentScorePath when it is an existing score of the library under
// pluginFolder; a score from anywhere else leaves the previous values. Creates
// the settings file, with its byte-order mark, whenever it can be opened; an
// older 8-bit file is rewritten as UTF-16 before the names go in, so that
// names outside its code page survive. True when both keys were written.
bool WriteRememberedScore(const std::wstring& pluginFolder, const std::wstring& currentScorePath);
