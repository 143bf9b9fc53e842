// Vertical and horizontal layouts: children placed one after another along
// one axis; children answering 0 on that axis share what is left.
#pragma once
#include "uikit/core/container.h"

namespace UiKit {

class CVerticalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    void SetPosition(RECT rc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetSepHeight() const { return sepHeight_; }
    void SetSepHeight(int height) { sepHeight_ = height; }
    bool IsSepImmMode() const { return sepImm_; }
    void SetSepImmMode(bool imm) { sepImm_ = imm; }

protected:
    int sepHeight_ = 0;
    bool sepImm_ = false;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    void SetPosition(RECT rc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    int GetSepWidth() const { return sepWidth_; }
    void SetSepWidth(int width) { sepWidth_ = width; }
    bool IsSepImmMode() const { return sepImm_; }
    void SetSepImmMode(bool imm) { sepImm_ = imm; }

protected:
    int sepWidth_ = 0;
    bool sepImm_ = false;
};

}  // namespace UiKit
