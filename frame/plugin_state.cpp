#include "frame/plugin_state.h"

PluginState& Plugin() {
    static PluginState state;
    return state;
}

std::wstring ModulePath(HMODULE module) {
    // A path that fills the buffer may have been cut: a cut path names a
    // folder further up, and the plug-in would create its files there.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring path(size, L'\0');
        DWORD n = GetModuleFileNameW(module, &path[0], size);
        if (n == 0) return std::wstring();
        if (n < size - 1) return path.substr(0, n);
    }
    return std::wstring();
}

std::wstring PluginFolder() {
    std::wstring s = ModulePath(Plugin().module);
    size_t slash = s.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : s.substr(0, slash + 1);
}
