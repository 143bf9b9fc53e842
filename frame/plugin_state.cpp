#include "frame/plugin_state.h"

PluginState& Plugin() {
    static PluginState state;
    return state;
}

std::wstring PluginFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = GetModuleFileNameW(Plugin().module, path, static_cast<DWORD>(std::size(path)));
    std::wstring s(path, n);
    size_t slash = s.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : s.substr(0, slash + 1);
}
