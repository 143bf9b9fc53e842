#pragma once
#include <string>

// For an existing path, its last component (a folder's trailing backslash is
// ignored). Without keepExtension a file's name loses everything from its last
// full stop on; a folder's name is never cut. Empty when the path does not
// exist or holds no backslash.
std::wstring GetNameFromPath(const std::wstring& path, bool keepExtension);
