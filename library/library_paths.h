// Names and paths of the score library: a root folder ("music" beside the
// plug-in) holding score folders, each holding score files. Pure string rules,
// no disk access, so that the panel and the tests can use them freely.
#pragma once
#include <string>

// The library root inside a plug-in folder (which ends in a backslash); the
// result ends in a backslash.
std::wstring LibraryRootOf(const std::wstring& pluginFolder);

// A directory directly in the root is a score folder unless its name begins
// with a full stop (".", ".." and hidden-style names).
bool IsScoreFolderName(const std::wstring& name);

// A file directly in a score folder is a score when its name ends in "zyqn",
// exactly as written: "Song.zyqn" and "Songzyqn" are, "Song.ZYQN" is not.
bool IsScoreFileName(const std::wstring& fileName);

// The file name of a score called name: name + ".zyqn".
std::wstring ScoreFileNameOf(const std::wstring& name);

// What the library shows for a path from the enumeration: a folder path (it
// ends in a backslash) shows its directory name, a score path its file name
// without the text from the last full stop on.
std::wstring DisplayNameOfPath(const std::wstring& path);

// Whether name can become one new entry in the library: a single path
// component that Windows accepts as a file name. Separators, "." and "..", a
// drive or stream colon and wildcards are refused, since they would make a
// create or rename reach outside the folder it names, or be taken as a pattern
// by the shell.
bool IsPlainEntryName(const std::wstring& name);

// Splits a path of the form root + folder + "\" (folder path) or root + folder
// + "\" + file (score path) into its parts. False when the path is not of that
// shape or names something the library does not list (dot folders, files that
// are not scores, anything deeper).
bool SplitFolderPath(const std::wstring& root, const std::wstring& path, std::wstring* folder);
bool SplitScorePath(const std::wstring& root, const std::wstring& path, std::wstring* folder, std::wstring* file);

// Case-insensitive equality, as Windows compares file names.
bool SameFileName(const std::wstring& a, const std::wstring& b);
