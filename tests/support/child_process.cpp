#include "tests/support/child_process.h"

#include <cstdio>
#include <cstring>

namespace testing_support {

namespace {
const char kChildFlag[] = "--child=";
}

std::string ChildOutcome::Describe() const {
    char text[96];
    if (!finished) return "hung: killed by the watchdog";
    if (exitCode >= 0xC0000000u) snprintf(text, sizeof text, "crashed with exception 0x%08lX", exitCode);
    else snprintf(text, sizeof text, "ended with code %lu", exitCode);
    return text;
}

ChildOutcome RunInChild(const char* name, DWORD watchdogMs) {
    ChildOutcome out;
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child=";
    for (const char* c = name; *c; ++c) command += static_cast<wchar_t>(*c);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        out.finished = true;
        out.exitCode = 0xFFFFFFFFu;
        return out;
    }
    if (WaitForSingleObject(pi.hProcess, watchdogMs) == WAIT_OBJECT_0) {
        out.finished = true;
        GetExitCodeProcess(pi.hProcess, &out.exitCode);
    } else {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return out;
}

bool RunChildCase(int argc, char** argv, const ChildCase* cases, size_t count, int* exitCode) {
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], kChildFlag, sizeof kChildFlag - 1) != 0) continue;
        const char* name = argv[i] + sizeof kChildFlag - 1;
        for (size_t k = 0; k < count; ++k) {
            if (strcmp(cases[k].name, name) == 0) {
                *exitCode = cases[k].run();
                fflush(stdout);
                fflush(stderr);
                return true;
            }
        }
        fprintf(stderr, "no child case named %s\n", name);
        *exitCode = 2;
        return true;
    }
    return false;
}

}  // namespace testing_support
