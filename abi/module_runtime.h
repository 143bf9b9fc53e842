// What the run-time linked statically into each of our DLLs keeps for the
// life of the module, given back when FreeLibrary unloads it: a host opens
// and closes the player, and with it the engine, many times in one process.
// Include in exactly one file of the DLL (the one with DllMain), link the DLL
// with MODULE_RUNTIME_LINK_OPTIONS (CMakeLists.txt) and call
// ModuleRuntime::Detach(reserved) on DLL_PROCESS_DETACH.
#pragma once
#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++: frees its emergency exception pool
}

namespace ModuleRuntime {

// The thread library takes TLS indexes and never frees them: each load
// would use up one of the process's fixed number, and around the
// thousandth load the host aborts. The linker sends the library's calls to
// TlsAlloc here, so the indexes it took are known at unload.
struct TlsIndexes {
    DWORD taken[8];
    int count;
};
inline TlsIndexes taken = {};

// No function-local statics here: their guard uses the thread library,
// which would call back in.
inline DWORD WINAPI RecordingTlsAlloc() {
    using TlsAllocFn = DWORD(WINAPI*)();
    const auto real =
        reinterpret_cast<TlsAllocFn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "TlsAlloc")));
    DWORD index = real ? real() : TLS_OUT_OF_INDEXES;
    TlsIndexes& t = taken;
    if (index != TLS_OUT_OF_INDEXES && t.count < 8) t.taken[t.count++] = index;
    return index;
}

// Not at process end (reserved set): then the process's memory goes anyway
// and other modules may still be running their own detach code.
inline void Detach(LPVOID reserved) {
    if (reserved) return;
    __gnu_cxx::__freeres();
    TlsIndexes& t = taken;
    while (t.count > 0) TlsFree(t.taken[--t.count]);
}

}  // namespace ModuleRuntime

// The import slot the thread library calls TlsAlloc through, as renamed by
// the linker's --wrap.
extern "C" DWORD(WINAPI* const moduleRuntimeTlsAlloc)() __asm__("___wrap__imp__TlsAlloc@0");
extern "C" DWORD(WINAPI* const moduleRuntimeTlsAlloc)() = &ModuleRuntime::RecordingTlsAlloc;
