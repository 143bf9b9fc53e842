// The probe message, compiled only into the test build of the plug-in
// (ZYQMelvaneProbe.dll) and into the tests: loading either installs the hook
// through which every skinned window answers it.
#include "frame/window_probe.h"

#include "frame/wnd_impl_base.h"

UINT ProbeMessage() {
    static const UINT message = RegisterWindowMessageW(MELVANE_PROBE_MESSAGE_NAME);
    return message;
}

bool CWndImplBase::AnswerProbeMessage(CWndImplBase& window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != ProbeMessage() || !wp || !lp) return false;
    window.AnswerProbe(reinterpret_cast<const wchar_t*>(wp), reinterpret_cast<ControlProbe*>(lp));
    result = 1;
    return true;
}

namespace {
const bool g_probeInstalled = (CWndImplBase::SetMessageHook(CWndImplBase::AnswerProbeMessage), true);
}  // namespace
