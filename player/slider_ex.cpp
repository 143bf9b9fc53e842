#include "player/slider_ex.h"

#include <cwchar>

void* CSliderExUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"SliderEx") == 0) return this;
    return CSliderUI::FindInterface(name);
}
