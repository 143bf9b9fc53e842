// A toolkit window for the tests: built from markup text in its creation
// handler, it records every notification and offers the custom "Probe"
// control, which records the events it receives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "uikit/core/container.h"
#include "uikit/core/skin_builder.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

namespace uikit_test {

// Records events and attribute applications; Tab stops on it.
class ProbeUI : public UiKit::CControlUI {
public:
    const wchar_t* GetClassName() const override { return L"ProbeUI"; }
    UINT GetControlFlags() const override { return tabStop ? static_cast<UINT>(UiKit::UIFLAG_TABSTOP) : 0u; }
    void HandleEvent(UiKit::UIEvent& e) override {
        events.push_back(e);
        UiKit::CControlUI::HandleEvent(e);
    }
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override {
        applied.push_back(std::wstring(name) + L"=" + value);
        UiKit::CControlUI::ApplyAttribute(name, value);
    }
    bool Has(int kind) const {
        for (const auto& e : events)
            if (e.kind == kind) return true;
        return false;
    }
    bool tabStop = true;
    std::vector<UiKit::UIEvent> events;
    std::vector<std::wstring> applied;
};

// The order in which every probe got its attributes, across the tree.
std::vector<std::wstring>& AttributeLog();

class TestWindow : public UiKit::CWindowWnd, public UiKit::INotifyUI, public UiKit::IDialogBuilderCallback {
public:
    explicit TestWindow(const std::wstring& markup) : markup_(markup) {}
    ~TestWindow() override;

    // Creates the window (visible, 400x300 unless the markup sets a size)
    // and paints it once.
    HWND Open(HWND owner = nullptr);
    UiKit::CUIWindowManager& Manager() { return manager_; }
    UiKit::CControlUI* Find(const wchar_t* name) { return manager_.FindControl(name); }
    RECT Rect(const wchar_t* name);

    void Notify(UiKit::UINotify& msg) override { notes.push_back(msg); }
    UiKit::CControlUI* CreateControl(const wchar_t* name) override;

    // Notifications of a type, in order.
    std::vector<UiKit::UINotify> Of(const wchar_t* type) const;
    std::vector<std::wstring> Types() const;
    void Paint();

    std::vector<UiKit::UINotify> notes;
    bool built = false;

protected:
    const wchar_t* WindowClassName() const override { return L"UiKitTestWindow"; }
    UINT ClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    std::wstring markup_;
    UiKit::CUIWindowManager manager_;
};

// Sends a mouse message at client coordinates (screen ones for the messages
// that take them).
void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM wParam = 0);
void SendKey(HWND hwnd, UINT msg, WPARAM key);

}  // namespace uikit_test
