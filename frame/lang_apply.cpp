#include "frame/lang_apply.h"

#include "frame/lang_table.h"
#include "uikit/core/control.h"
#include "uikit/core/window_manager.h"

void ApplyLangTexts(UiKit::CUIWindowManager* manager) {
    if (!manager || !manager->GetRoot()) return;
    static const wchar_t* const kClasses[] = {L"ButtonUI", L"LabelUI", L"ListHeaderItemUI", L"MenuElementUI",
                                              L"OptionUI"};
    for (const wchar_t* className : kClasses) {
        bool buttons = std::wstring(className) == L"ButtonUI";
        for (UiKit::CControlUI* control : manager->FindSubControlsByClass(manager->GetRoot(), className)) {
            if (buttons && control->GetName() == L"ID_BTN_TEMPO_DIS") continue;
            std::wstring text = GetLangText(control->GetName());
            if (text.empty()) continue;
            if (!control->GetText().empty()) control->SetText(text);
            if (!control->GetToolTip().empty()) control->SetToolTip(text);
        }
    }
}
