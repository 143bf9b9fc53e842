#include "tests/support/message_pump.h"

#include <algorithm>

#include "uikit/core/window_manager.h"

namespace testing_support {

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const TickDeadline deadline(GetTickCount(), timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (UiKit::CUIWindowManager::TranslateMessage(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (pred()) return true;
        const DWORD now = GetTickCount();
        if (deadline.Passed(now)) return false;
        // Wakes early for any new message, sent ones included.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, deadline.Left(now)), QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

}  // namespace testing_support
