// The small modal dialog that names a new score folder or renames a folder or
// a score. It checks the name against the library but changes nothing on
// disk; the library panel acts on the name it returns.
#pragma once
#include <functional>
#include <string>

#include "frame/wnd_impl_base.h"

namespace UiKit {
class CControlUI;
}

enum NameDialogMode { kNewFolder = 0, kRenameFolder = 1, kRenameScore = 2 };
enum NameDialogResult { kNameAccepted = 1, kNameCancelled = 2 };
const int kMaxEntryName = 60;

// What the OK button does with the typed text.
enum class NameVerdict {
    Empty,      // nothing but white space: tell the user, stay open
    Taken,      // the library already has it: tell the user, stay open
    Unchanged,  // a rename to the same name: nothing to do, close as cancelled
    Accepted,   // name holds the trimmed text, cut to 60 characters
};
struct NameCheck {
    NameVerdict verdict = NameVerdict::Empty;
    std::wstring name;
};
// taken answers whether a (changed) name exists already. Names are compared
// exactly, so a change of letter case alone counts as a change.
NameCheck CheckEntryName(int mode, const std::wstring& given, const std::wstring& typed,
                         const std::function<bool(const std::wstring&)>& taken);

class CWndModifyScoreDir : public CWndImplBase {
public:
    // nameBuffer: 61 characters owned by the caller, in and out. taken
    // answers whether the library already has a name; without it every name
    // counts as taken. Creates the window centred over the owner; the caller
    // then runs ShowModal.
    CWndModifyScoreDir(HWND owner, std::function<bool(const std::wstring&)> taken, wchar_t* nameBuffer, int mode);

    // Closes an open message box of this dialog first, then the dialog with
    // kNameCancelled.
    void CloseFromOutside();

protected:
    const wchar_t* WindowClassName() const override { return L"CWndModifyScoreDir"; }
    const wchar_t* MarkupFileName() const override { return L"WndModifyScoreDir.xml"; }
    void OnWindowBuilt() override;
    void OnNcDestroyed(HWND window) override;
    LRESULT OnDialogKey(WPARAM key, LPARAM lp) override;
    void Notify(UiKit::UINotify& msg) override;

private:
    void Accept();
    void Tell(const wchar_t* messageId);

    std::function<bool(const std::wstring&)> taken_;
    wchar_t* nameBuffer_;
    int mode_;
    UiKit::CControlUI* btnOk_ = nullptr;
    UiKit::CControlUI* btnCancel_ = nullptr;
    UiKit::CControlUI* btnClose_ = nullptr;
    UiKit::CControlUI* nameField_ = nullptr;
};
