// A plain toolkit window for the score list tests: builds markup with the
// score list's builder callback, reads the skin from the source tree and is
// driven with real mouse messages.
#pragma once
#include <windows.h>

#include <string>

#include "scoreview/score_list_ui.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

namespace player_test {

class ListHost : public UiKit::CWindowWnd {
public:
    bool Open(const wchar_t* markup, int cx, int cy);
    ~ListHost() override;
    UiKit::CUIWindowManager& Manager() { return manager_; }
    CScoreListUI* List(const wchar_t* name);
    void Update();
    void Send(UINT msg, WPARAM wp, POINT pt);
    void Wheel(POINT clientPt, bool towardsUser);

protected:
    const wchar_t* WindowClassName() const override { return L"ScoreListTestWindow"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UiKit::CUIWindowManager manager_;
};

// The skin folder of the source tree as a Windows path.
std::wstring SourceSkinFolder();

}  // namespace player_test
