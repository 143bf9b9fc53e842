// The toolkit services the user-interface thread needs around its loop.
#pragma once
#include <windows.h>

#include <string>

namespace UiThreadHooks {
// Hands the module to the toolkit and points its resource path at the folder.
void AttachToolkit(HMODULE module, const std::wstring& pluginFolder);
void RegisterShadowClass(HMODULE module);
// The toolkit's pre-translation: true when a window manager consumed msg.
bool TranslateMessage(MSG* msg);
// Removes the in-memory skin package and frees the plug-in's copy of it (the
// next UI thread of the same load installs it again), and unregisters the
// window classes: a class left registered would outlive an unloaded plug-in.
void ReleaseToolkit(HMODULE module);
}  // namespace UiThreadHooks
