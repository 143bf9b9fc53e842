// Answers the probe message with what one control of the window shows.
#include "player/player_probe.h"

#include <cstdlib>
#include <cwchar>

#include "player/slider_ex.h"
#include "player/wnd_melvane.h"
#include "scoreview/score_list_ui.h"
#include "uikit/controls/combo.h"

void CWndMelvane::AnswerProbe(const wchar_t* name, PlayerProbe* probe) {
    *probe = PlayerProbe{};
    std::wstring n = name;
    if (n == L"#COUNTIN") {
        probe->found = 1;
        probe->value = transport_.CountIn();
        probe->enabled = transport_.GetState() == CTransport::State::CountingIn;
        return;
    }
    if (n == L"#ZOOM") {
        probe->found = 1;
        swprintf(probe->text, 260, L"%.4f", zoom_);
        return;
    }
    if (n == L"#STOPPED") {
        probe->found = 1;
        probe->value = transport_.FromStopPosition();
        probe->enabled = PageJumpPending();
        return;
    }
    if (n == L"#PAGES") {
        probe->found = 1;
        probe->value = score_ ? score_->ops->GetPageCount(score_) : 0;
        return;
    }
    if (n.compare(0, 5, L"#ROW:") == 0) {
        // A row of the library list: where it is and its title markup.
        auto* list = dynamic_cast<CScoreListUI*>(Find(L"ID_SCORE_LIST_SHOW"));
        auto* row = list ? dynamic_cast<UiKit::CContainerUI*>(list->GetItemAt(_wtoi(n.c_str() + 5))) : nullptr;
        UiKit::CControlUI* title = row ? row->FindSubControl(L"ID_TEXT_SCORE_PAGE_ICON_TITLE") : nullptr;
        if (!title) return;
        probe->found = 1;
        probe->visible = row->IsVisible();
        probe->pos = row->GetPosition();
        ScoreNode* node = CScoreListUI::NodeOf(row);
        probe->value = node ? node->level : -1;
        wcsncpy(probe->text, title->GetText().c_str(), 259);
        return;
    }
    CWndImplBase::AnswerProbe(name, probe);
    UiKit::CControlUI* c = probe->found ? Find(name) : nullptr;
    if (!c) return;
    if (auto* slider = dynamic_cast<UiKit::CSliderUI*>(c)) {
        probe->value = slider->GetValue();
        probe->maximum = slider->GetMaxValue();
        wcsncpy(probe->text, slider->GetThumbText().c_str(), 259);
    } else if (auto* combo = dynamic_cast<UiKit::CComboUI*>(c)) {
        probe->value = combo->GetCurSel();
    } else if (auto* list = dynamic_cast<CScoreListUI*>(c)) {
        probe->value = list->GetCount();
        probe->scroll = list->GetScrollPos();
        probe->range = list->GetScrollRange();
    }
}
