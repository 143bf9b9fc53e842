#include "uikit/core/control_factory.h"

#include <map>
#include <string>

#include "uikit/core/container.h"
#include "uikit/core/layouts.h"
#include "uikit/core/scrollbar.h"

namespace UiKit {
namespace {

template <class T>
CControlUI* Make() {
    return new T();
}

std::map<std::wstring, ControlCreator>& Table() {
    static std::map<std::wstring, ControlCreator> table;
    static bool filled = false;
    if (!filled) {
        filled = true;
        table[L"Control"] = &Make<CControlUI>;
        table[L"Container"] = &Make<CContainerUI>;
        table[L"VerticalLayout"] = &Make<CVerticalLayoutUI>;
        table[L"HorizontalLayout"] = &Make<CHorizontalLayoutUI>;
        table[L"ScrollBar"] = &Make<CScrollBarUI>;
        RegisterStandardControls();
    }
    return table;
}

}  // namespace

void RegisterControlClass(const wchar_t* elementName, ControlCreator create) {
    if (!elementName) return;
    if (create) Table()[elementName] = create;
    else Table().erase(elementName);
}

CControlUI* CreateBuiltinControl(const wchar_t* elementName) {
    if (!elementName) return nullptr;
    auto& table = Table();
    auto it = table.find(elementName);
    return it == table.end() ? nullptr : it->second();
}

}  // namespace UiKit
