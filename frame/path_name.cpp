#include "frame/path_name.h"

#include <windows.h>

std::wstring GetNameFromPath(const std::wstring& path, bool keepExtension) {
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (path.empty() || attrs == INVALID_FILE_ATTRIBUTES) return std::wstring();
    std::wstring p = path;
    if (p.size() > 1 && p.back() == L'\\') p.pop_back();
    size_t slash = p.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    std::wstring name = p.substr(slash + 1);
    if (!keepExtension && !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
    }
    return name;
}
