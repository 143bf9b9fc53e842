// The tests' one message loop: it runs this thread's messages the way the
// plug-in's user-interface thread does (the toolkit's pre-translation first),
// so toolkit windows on the test thread get their Tab, shortcut and filter
// handling, and plain windows are dispatched as usual.
#pragma once
#include <windows.h>

#include <functional>

namespace testing_support {

// A span on the tick counter measured by unsigned differences, so it holds
// across the counter's wrap (every 49.7 days of uptime): "now < start + ms"
// ends at once, or never, near the wrap.
class TickDeadline {
public:
    TickDeadline(DWORD start, DWORD ms) : start_(start), ms_(ms) {}
    bool Passed(DWORD now) const { return now - start_ >= ms_; }
    DWORD Left(DWORD now) const { return Passed(now) ? 0 : ms_ - (now - start_); }

private:
    DWORD start_;
    DWORD ms_;
};

// Runs this thread's messages until pred holds (checked after each round,
// so a true pred returns after one round) or timeoutMs passes.
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
// Runs this thread's messages for ms (at least one round).
void PumpFor(DWORD ms);

}  // namespace testing_support
