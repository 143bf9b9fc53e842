// The tree-style score list: the library panel's list of folders, scores
// and pages, and the player's score view (display mode 2).
#pragma once
#include "player/score_engine.h"
#include "uikit/controls/list.h"

namespace UiKit {
class CUIWindowManager;
}

class CScoreListUI : public UiKit::CListUI {
public:
    explicit CScoreListUI(UiKit::CUIWindowManager* manager) : owner_(manager) {}
    const wchar_t* GetClassName() const override { return L"ScoreListUI"; }
    void* FindInterface(const wchar_t* name) override;

    // The engine object whose pages the list draws, and the display mode:
    // 0 list, 1 icons, 2 the player's page view.
    void SetScore(IScore* score, int mode) {
        score_ = score;
        mode_ = mode;
    }
    IScore* Score() const { return score_; }
    int DisplayMode() const { return mode_; }

private:
    UiKit::CUIWindowManager* owner_;
    IScore* score_ = nullptr;
    int mode_ = 0;
};
