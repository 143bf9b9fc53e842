// Runs a case that may crash or hang in a child process with a watchdog, so
// that the suite reports it instead of dying or waiting for ever. The child
// is this same test executable started with "--child=<name>"; its main hands
// such a command line to RunChildCase.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

// A named case: returns 0 when everything held, else a code of its own (and
// says why on stderr).
struct ChildCase {
    const char* name;
    int (*run)();
    // How long the parent waits before it calls the case hung; 0 for the
    // caller's default. A case that does much work on purpose names its own,
    // so a loaded machine does not pass for a hang.
    DWORD watchdogMs = 0;
};

struct ChildOutcome {
    bool finished = false;  // false: killed by the watchdog
    DWORD exitCode = 0;     // a crash shows as its exception code
    std::string Describe() const;
};

ChildOutcome RunInChild(const char* name, DWORD watchdogMs);

// For main: when the command line names a child case, runs it and stores
// its result in *exitCode. Returns false for an ordinary test run.
bool RunChildCase(int argc, char** argv, const ChildCase* cases, size_t count, int* exitCode);

}  // namespace testing_support
