// The element names of the standard controls, entered into the builder's
// table the first time it is used.
#include "uikit/controls/button_option.h"
#include "uikit/controls/combo.h"
#include "uikit/controls/edit.h"
#include "uikit/controls/label_text.h"
#include "uikit/controls/layouts_extra.h"
#include "uikit/controls/list.h"
#include "uikit/controls/list_items.h"
#include "uikit/controls/progress_slider.h"
#include "uikit/controls/richedit.h"
#include "uikit/core/control_factory.h"

namespace UiKit {

namespace {
template <class T>
CControlUI* Make() {
    return new T();
}
}  // namespace

void RegisterStandardControls() {
    RegisterControlClass(L"Label", &Make<CLabelUI>);
    RegisterControlClass(L"Text", &Make<CTextUI>);
    RegisterControlClass(L"Button", &Make<CButtonUI>);
    RegisterControlClass(L"Option", &Make<COptionUI>);
    RegisterControlClass(L"Progress", &Make<CProgressUI>);
    RegisterControlClass(L"Slider", &Make<CSliderUI>);
    RegisterControlClass(L"List", &Make<CListUI>);
    RegisterControlClass(L"ListHeader", &Make<CListHeaderUI>);
    RegisterControlClass(L"ListHeaderItem", &Make<CListHeaderItemUI>);
    RegisterControlClass(L"ListLabelElement", &Make<CListLabelElementUI>);
    RegisterControlClass(L"ListTextElement", &Make<CListTextElementUI>);
    RegisterControlClass(L"ListContainerElement", &Make<CListContainerElementUI>);
    RegisterControlClass(L"Combo", &Make<CComboUI>);
    RegisterControlClass(L"Edit", &Make<CEditUI>);
    RegisterControlClass(L"RichEdit", &Make<CRichEditUI>);
    RegisterControlClass(L"TabLayout", &Make<CTabLayoutUI>);
    RegisterControlClass(L"TileLayout", &Make<CTileLayoutUI>);
    RegisterControlClass(L"DialogLayout", &Make<CDialogLayoutUI>);
}

}  // namespace UiKit
