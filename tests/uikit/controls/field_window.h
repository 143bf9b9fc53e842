// A toolkit window built from markup text for the text-field tests: it
// records the notifications its controls send.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "uikit/core/skin_builder.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

class FieldWindow : public UiKit::CWindowWnd, public UiKit::INotifyUI, public UiKit::IDialogBuilderCallback {
public:
    explicit FieldWindow(const wchar_t* markup);
    ~FieldWindow() override;

    UiKit::CUIWindowManager& Manager() { return manager_; }
    template <typename T>
    T* Find(const wchar_t* name) {
        return static_cast<T*>(manager_.FindControl(name));
    }
    // Notification types in order, as "type:sender".
    std::vector<std::wstring> notes;
    int Count(const std::wstring& note) const;

    void Notify(UiKit::UINotify& msg) override;
    UiKit::CControlUI* CreateControl(const wchar_t* elementName) override;

    // Left click at the centre of a control, in client coordinates.
    void ClickOn(UiKit::CControlUI* control);
    void Type(const std::wstring& text);
    void Key(UINT vk);
    // Paints now and counts the pixels inside rc that are darker than grey.
    int DarkPixelsIn(const RECT& rc);

protected:
    const wchar_t* WindowClassName() const override { return L"MelvaneFieldTestWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring markup_;
    UiKit::CUIWindowManager manager_;
};
