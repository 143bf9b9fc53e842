#pragma once
#include <windows.h>

// GetProcAddress typed as the function it resolves (null when missing).
template <typename Fn>
Fn GetProc(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
