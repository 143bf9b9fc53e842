// The toolkit's string type: every text, name, path and attribute value is
// UTF-16.
#pragma once
#include <string>

namespace UiKit {
using CUIString = std::wstring;
}  // namespace UiKit
