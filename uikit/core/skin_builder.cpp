#include "uikit/core/skin_builder.h"

#include <cwchar>
#include <cwctype>
#include <string>

#include "uikit/core/container.h"
#include "uikit/core/control_factory.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/skin_settings.h"

namespace UiKit {
namespace {
// The builder reads declaration values through a buffer of this size.
const size_t kValueChars = 500;

CUIString Attr(const CSkinMarkupNode& node, const wchar_t* name, bool* present = nullptr) {
    wchar_t buf[kValueChars];
    bool has = node.GetAttributeValue(name, buf, kValueChars);
    if (present) *present = has;
    return has ? CUIString(buf) : CUIString();
}
}  // namespace

bool CSkinBuilder::LoadSource(const wchar_t* source, const wchar_t* resType) {
    fromResource_ = false;
    if (IS_INTRESOURCE(source)) {
        if (!resType) return false;
        if (IS_INTRESOURCE(resType)) resType_ = resType;
        else {
            resTypeName_ = resType;
            resType_ = resTypeName_.c_str();
        }
        fromResource_ = true;
        HINSTANCE module = CSkinSettings::GetResourceInstance();
        HRSRC res = FindResourceW(module, source, resType_);
        if (!res) return false;
        HGLOBAL global = LoadResource(module, res);
        DWORD size = SizeofResource(module, res);
        const void* data = global ? LockResource(global) : nullptr;
        if (!data) return false;
        return markup_.LoadFromMem(data, size, MarkupEncoding::Utf8);
    }
    if (!source) return false;
    if (source[0] == L'<') return markup_.Load(source);
    return markup_.LoadFromFile(source, MarkupEncoding::Utf8);
}

CControlUI* CSkinBuilder::Build(const wchar_t* source, const wchar_t* resType, IDialogBuilderCallback* callback,
                                CUIWindowManager* manager, CControlUI* parent) {
    callback_ = callback;
    int budget = kMaxIncludes;
    if (!includeBudget_) includeBudget_ = &budget;
    CControlUI* result = BuildDocument(source, resType, manager, parent);
    if (includeBudget_ == &budget) includeBudget_ = nullptr;
    return result;
}

CControlUI* CSkinBuilder::BuildDocument(const wchar_t* source, const wchar_t* resType, CUIWindowManager* manager,
                                        CControlUI* parent) {
    if (!LoadSource(source, resType)) return nullptr;
    CSkinMarkupNode root = markup_.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager) ReadDeclarations(root, manager);
    CControlUI* first = nullptr;
    orphans_.clear();
    bool ok = BuildChildren(root, parent, manager, &first);
    // Without a parent, top-level controls other than the result would be
    // owned by nobody; so would all of them when the build failed.
    for (CControlUI* c : orphans_)
        if (!ok || c != first) delete c;
    orphans_.clear();
    return ok ? first : nullptr;
}

void CSkinBuilder::ReadDeclarations(CSkinMarkupNode root, CUIWindowManager* manager) {
    for (CSkinMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* element = node.GetName();
        if (wcscmp(element, L"Image") == 0) {
            CUIString name = Attr(node, L"name"), type = Attr(node, L"restype");
            DWORD mask = ParseColor(Attr(node, L"mask").c_str());
            if (!name.empty()) manager->Skin().AddImage(name, type, mask);
        } else if (wcscmp(element, L"Font") == 0) {
            CUIString face = Attr(node, L"name");
            bool hasSize = false;
            CUIString sizeText = Attr(node, L"size", &hasSize);
            int size = hasSize ? ParseInt(sizeText.c_str()) : 12;
            bool bold = ParseBool(Attr(node, L"bold").c_str());
            bool underline = ParseBool(Attr(node, L"underline").c_str());
            bool italic = ParseBool(Attr(node, L"italic").c_str());
            if (!face.empty()) {
                manager->Skin().AddFont(face, size, bold, underline, italic);
                if (ParseBool(Attr(node, L"default").c_str()))
                    manager->Skin().SetDefaultFont(face, size, bold, underline, italic);
            }
        } else if (wcscmp(element, L"Default") == 0) {
            CUIString name = Attr(node, L"name");
            // Lists are long: read the value whole, not through the buffer.
            const wchar_t* value = node.GetAttributeValue(L"value");
            if (!name.empty()) manager->Skin().AddDefaultAttributeList(name, value ? value : L"");
        }
    }
    if (wcscmp(root.GetName(), L"Window") == 0 && manager->GetPaintWindow()) {
        int n = root.GetAttributeCount();
        for (int i = 0; i < n; ++i) manager->ApplyWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
    }
}

bool CSkinBuilder::BuildChildren(CSkinMarkupNode node, CControlUI* parent, CUIWindowManager* manager,
                                 CControlUI** first) {
    for (CSkinMarkupNode e = node.GetChild(); e.IsValid(); e = e.GetSibling()) {
        const wchar_t* element = e.GetName();
        if (wcscmp(element, L"Image") == 0 || wcscmp(element, L"Font") == 0 || wcscmp(element, L"Default") == 0)
            continue;
        if (wcscmp(element, L"Include") == 0) {
            bool hasCount = false;
            CUIString countText = Attr(e, L"count", &hasCount);
            int count = hasCount ? ParseInt(countText.c_str()) : 1;
            CUIString source = Attr(e, L"source");
            if (source.empty() || count < 1) continue;
            // Includes are loops and recursion the markup controls: a file
            // that includes itself, or counts that multiply, must end.
            for (int i = 0; i < count && includeDepth_ < kMaxIncludeDepth && *includeBudget_ > 0; ++i) {
                --*includeBudget_;
                CSkinBuilder inner;
                inner.includeBudget_ = includeBudget_;
                inner.includeDepth_ = includeDepth_ + 1;
                CControlUI* built;
                if (fromResource_)
                    built = inner.Build(MAKEINTRESOURCEW(ParseInt(source.c_str())), resType_, callback_, manager, parent);
                else
                    built = inner.Build(source.c_str(), nullptr, callback_, manager, parent);
                if (built && !parent && first) orphans_.push_back(built);
                if (built && first && !*first) *first = built;
            }
            continue;
        }
        CControlUI* control = CreateBuiltinControl(element);
        if (!control && callback_) control = callback_->CreateControl(element);
        if (!control) continue;

        if (e.HasChildren() && !BuildChildren(e, control, manager, nullptr)) {
            delete control;
            return false;
        }
        if (parent) {
            auto* container = static_cast<IContainerUI*>(parent->FindInterface(L"IContainer"));
            if (!container) {
                delete control;
                return false;
            }
            if (!container->Add(control)) {
                delete control;
                continue;
            }
        }
        // A control added to a tree that is already attached stays attached.
        bool attached = control->GetManager() != nullptr;
        if (manager && !attached) {
            control->SetManager(manager, control->GetParent(), false);
            CUIString defaults = manager->GetDefaultAttributeList(element);
            if (!defaults.empty()) control->ApplyAttributeList(defaults.c_str());
        }
        int n = e.GetAttributeCount();
        for (int i = 0; i < n; ++i) control->ApplyAttribute(e.GetAttributeName(i), e.GetAttributeValue(i));
        if (attached) control->GetManager()->RegisterName(control);
        else if (manager) control->SetManager(nullptr, control->GetParent(), false);
        if (!parent && first) orphans_.push_back(control);
        if (first && !*first) *first = control;
    }
    return true;
}

}  // namespace UiKit
