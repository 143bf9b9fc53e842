// The builder's table of element names: markup element name -> control class.
//
// The core registers "Control", "Container", "VerticalLayout",
// "HorizontalLayout" and "ScrollBar". The standard controls add theirs:
// RegisterStandardControls(), defined in uikit/controls (the same library),
// is called once, the first time the table is used, and registers "Label",
// "Button", "Option", "List", ... with RegisterControlClass. It is declared
// here so the core needs no header of the controls above it. Element names that nobody registered produce no
// control: the builder then asks the window's callback, and skips the
// element when that gives nothing.
#pragma once
#include "uikit/core/control.h"

namespace UiKit {

using ControlCreator = CControlUI* (*)();

// Adds or replaces an element name (exact, case-sensitive).
void RegisterControlClass(const wchar_t* elementName, ControlCreator create);
// A new control for a registered element name, or nullptr.
CControlUI* CreateBuiltinControl(const wchar_t* elementName);

// Defined in uikit/controls (see above).
void RegisterStandardControls();

}  // namespace UiKit
