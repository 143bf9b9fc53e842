// Refreshes the texts and tooltips of one window's controls from the
// current language file, by control name.
#pragma once

namespace UiKit {
class CUIWindowManager;
}

// Buttons, labels, list header items, menu elements and options whose name
// has a text in the language file get it as text and tooltip, but only
// where the markup gave them one. The tempo ratio button keeps the ratio
// the player writes into it.
void ApplyLangTexts(UiKit::CUIWindowManager* manager);
