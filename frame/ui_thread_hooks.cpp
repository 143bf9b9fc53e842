#include "frame/ui_thread_hooks.h"

#include "frame/wnd_shadow.h"

// The toolkit is not linked in yet; these are the seams it fills.
namespace UiThreadHooks {
void AttachToolkit(HMODULE, const std::wstring&) {}
void RegisterShadowClass(HMODULE module) { CWndShadow::Initialize(module); }
bool TranslateMessage(MSG*) { return false; }
void ReleaseToolkit() {}
}  // namespace UiThreadHooks
