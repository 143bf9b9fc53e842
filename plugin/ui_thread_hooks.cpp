#include "plugin/ui_thread_hooks.h"

#include "frame/loading_splash.h"
#include "frame/wnd_impl_base.h"
#include "frame/wnd_shadow.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/skin_settings.h"

namespace UiThreadHooks {
void AttachToolkit(HMODULE module, const std::wstring& pluginFolder) {
    UiKit::CSkinSettings::SetInstance(module);
    UiKit::CSkinSettings::SetResourcePath(pluginFolder);
}
void RegisterShadowClass(HMODULE module) { CWndShadow::Initialize(module); }
bool TranslateMessage(MSG* msg) { return UiKit::CUIWindowManager::TranslateMessage(msg); }
void ReleaseToolkit(HMODULE module) {
    UiKit::CSkinSettings::RemovePackage();
    CWndImplBase::FreePackageCopy();
    UiKit::CWindowWnd::UnregisterWindowClasses();
    CWndShadow::Uninitialize();
    CLoadingSplash::UnregisterClass(module);
}
}  // namespace UiThreadHooks
