// Builds a control tree from skin markup: the declarations (Image, Font,
// Default, the Window element's properties) go into the window's manager,
// every other element becomes a control from the element table or from the
// window's callback.
#pragma once
#include <windows.h>

#include <vector>

#include "uikit/markup/markup.h"
#include "uikit/markup/ui_string.h"

namespace UiKit {

class CControlUI;
class CUIWindowManager;

class IDialogBuilderCallback {
public:
    // A new control for an element name the toolkit does not know, or nullptr.
    virtual CControlUI* CreateControl(const wchar_t* elementName) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class CSkinBuilder {
public:
    // source: a resource id (below 0x10000, as MAKEINTRESOURCE) of resType,
    // markup text starting with "<", or a file name. Returns the first
    // control built at the top level, or nullptr.
    CControlUI* Build(const wchar_t* source, const wchar_t* resType = nullptr,
                      IDialogBuilderCallback* callback = nullptr, CUIWindowManager* manager = nullptr,
                      CControlUI* parent = nullptr);
    CControlUI* Build(UINT resourceId, const wchar_t* resType, IDialogBuilderCallback* callback = nullptr,
                      CUIWindowManager* manager = nullptr, CControlUI* parent = nullptr) {
        return Build(MAKEINTRESOURCEW(resourceId), resType, callback, manager, parent);
    }

    const CSkinMarkup& GetMarkup() const { return markup_; }

    // Limits on "Include": nesting depth, and included documents per build.
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxIncludes = 1000;

private:
    CControlUI* BuildDocument(const wchar_t* source, const wchar_t* resType, CUIWindowManager* manager,
                              CControlUI* parent);
    bool LoadSource(const wchar_t* source, const wchar_t* resType);
    void ReadDeclarations(CSkinMarkupNode root, CUIWindowManager* manager);
    // Returns false when a parent without a container interface ends the build.
    bool BuildChildren(CSkinMarkupNode node, CControlUI* parent, CUIWindowManager* manager, CControlUI** first);

    CSkinMarkup markup_;
    IDialogBuilderCallback* callback_ = nullptr;
    CUIString resTypeName_;       // a named resource type
    const wchar_t* resType_ = nullptr;  // an integer type, or resTypeName_
    bool fromResource_ = false;
    std::vector<CControlUI*> orphans_;  // top-level controls built without a parent
    int* includeBudget_ = nullptr;      // shared by a build and its includes
    int includeDepth_ = 0;
};

}  // namespace UiKit
