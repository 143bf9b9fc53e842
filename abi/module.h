// Module lookups every binary of the project needs: typed exports of a
// module loaded at run time, and the module a piece of code was linked into.
#pragma once
#include <windows.h>

// GetProcAddress typed as the function it resolves (null when missing).
template <typename Fn>
Fn GetProc(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The module this code was linked into: the plug-in DLL, the engine DLL, or
// a test program that links the same code in. Window classes and resources
// are looked up there, not in the process's executable. It works because an
// inline function's address is resolved in each module separately (nothing
// here is exported): taking ThisModule's own address finds the module the
// caller's copy lives in. Keep it inline and non-exported for that reason.
inline HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}
