// The library panel beside the score view: folders and scores of the
// library, their commands, context menus and the score search box.
#pragma once
#include <string>

#include "player/score_engine.h"
#include "uikit/core/layouts.h"

namespace UiKit {
class CUIWindowManager;
struct UINotify;
}  // namespace UiKit
class CWndMelvane;

class CWndSubScoreList : public UiKit::CVerticalLayoutUI {
public:
    CWndSubScoreList(CWndMelvane* player, UiKit::CUIWindowManager* manager) : player_(player), manager_(manager) {}
    const wchar_t* GetClassName() const override { return L"WndSubScoreListUI"; }
    void* FindInterface(const wchar_t* name) override;

    void SetEngine(IScore* score, ISelectAct* selectAct) {
        score_ = score;
        selectAct_ = selectAct;
    }
    void InitControls() {}
    void LoadScoreLibrary() {}
    void OnScoreItemClick(UiKit::UINotify&) {}
    bool OnSearchSetFocus(UiKit::UINotify&) { return false; }
    bool OnSearchKillFocus(UiKit::UINotify&) { return false; }
    // Names the context menu markup for a row into buffer; false for none.
    bool ChooseContextMenu(UiKit::CControlUI*, wchar_t* buffer, int size) {
        if (buffer && size > 0) buffer[0] = 0;
        return false;
    }
    bool OnPanelClick(UiKit::CControlUI*) { return false; }
    void OnMenuCommand(const std::wstring&) {}
    void SelectPageRow(int) {}
    void RefreshSearchText() {}
    void SearchScores() {}
    void CloseNameDialog() {}

private:
    CWndMelvane* player_;
    UiKit::CUIWindowManager* manager_;
    IScore* score_ = nullptr;
    ISelectAct* selectAct_ = nullptr;
};
