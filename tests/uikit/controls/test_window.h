// A toolkit window for the control tests: built from markup text, it
// records every notification and is driven with real window messages.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "uikit/core/control.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

namespace controls_test {

struct Note {
    std::wstring type;
    std::wstring sender;  // the sender's name
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindow : public UiKit::CWindowWnd, public UiKit::INotifyUI {
public:
    // Creates the window at (x, y) with a client of cx x cy, builds the
    // markup into it and lays it out.
    bool Open(const wchar_t* markup, int x, int y, int cx, int cy);
    ~TestWindow() override;

    UiKit::CUIWindowManager& Manager() { return manager_; }
    template <class T>
    T* Find(const wchar_t* name) {
        UiKit::CControlUI* c = manager_.FindControl(name);
        return dynamic_cast<T*>(c);
    }
    // Paints (and so lays out) at once.
    void Update();
    POINT Center(UiKit::CControlUI* control) const;

    void MouseMove(POINT pt);
    void LeftDown(POINT pt);
    void LeftUp(POINT pt);
    void Click(POINT pt);
    void RightDown(POINT pt);
    void Wheel(POINT clientPt, bool towardsUser);
    void Key(WPARAM vk);

    std::vector<Note> notes;
    // The notes of one type, or all types but "setfocus", "killfocus",
    // "timer" and "windowinit" when type is null.
    std::vector<Note> Of(const wchar_t* type) const;
    void Notify(UiKit::UINotify& msg) override;

protected:
    const wchar_t* WindowClassName() const override { return L"ControlsTestWindow"; }
    UINT ClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UiKit::CUIWindowManager manager_;
};

// Keeps GDI+ running for a test that saves screenshots.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();

private:
    ULONG_PTR token_ = 0;
};

}  // namespace controls_test
