// The manager's tree, names, focus and notifications. Message routing is
// in manager_input.cpp, painting in manager_paint.cpp, the window
// properties in manager_skin.cpp; the skin resources and the control
// timers are classes of their own that the manager owns.
#include "uikit/core/window_manager.h"

#include <algorithm>
#include <cwctype>
#include <type_traits>

#include "uikit/core/container.h"

namespace UiKit {
namespace {

std::vector<CUIWindowManager*>& ManagerList() {
    static std::vector<CUIWindowManager*> list;
    return list;
}

// Visits a subtree in tree order (each control before its children).
// Goes through FindControl, which sees every child a control really has:
// a list's container interface shows only its rows, not its header.
template <class Fn>
void Walk(CControlUI* c, Fn&& fn) {
    if (!c) return;
    auto visit = [](CControlUI* x, void* data) -> CControlUI* {
        (*static_cast<std::remove_reference_t<Fn>*>(data))(x);
        return nullptr;
    };
    c->FindControl(visit, &fn, UIFIND_ALL | UIFIND_ME_FIRST);
}

// Like Walk, but skips hidden subtrees.
template <class Fn>
void WalkVisible(CControlUI* c, Fn&& fn) {
    if (!c || !c->IsVisible()) return;
    fn(c);
    if (auto* container = static_cast<IContainerUI*>(c->FindInterface(L"IContainer")))
        for (int i = 0; i < container->GetCount(); ++i) WalkVisible(container->GetItemAt(i), fn);
}

CControlUI* FirstHit(CControlUI* c, void*) { return c; }

}  // namespace

CUIWindowManager::CUIWindowManager() = default;

CUIWindowManager::~CUIWindowManager() {
    timers_.RemoveAll();
    delete root_;
    root_ = nullptr;
    for (CControlUI* c : delayedCleanup_) delete c;
    delayedCleanup_.clear();
    if (toolTip_) DestroyWindow(toolTip_);
    if (offscreenDC_) {
        SelectObject(offscreenDC_, offscreenOld_);
        DeleteDC(offscreenDC_);
    }
    if (offscreenBitmap_) DeleteObject(offscreenBitmap_);
    if (background_) DeleteObject(background_);
    skin_.Free();
    skin_.SetMeasureDC(nullptr);
    if (paintDC_) ReleaseDC(window_, paintDC_);
    auto& list = ManagerList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void CUIWindowManager::Init(HWND window) {
    window_ = window;
    if (paintDC_) ReleaseDC(window_, paintDC_);
    paintDC_ = GetDC(window);
    skin_.SetMeasureDC(paintDC_);
    auto& list = ManagerList();
    if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
}

const std::vector<CUIWindowManager*>& CUIWindowManager::Managers() { return ManagerList(); }

UINT CUIWindowManager::FlushMessage() {
    static const UINT message = RegisterWindowMessageW(L"UiKitFlushNotifications");
    return message;
}

SIZE CUIWindowManager::GetClientSize() const {
    RECT rc = {0, 0, 0, 0};
    if (window_) GetClientRect(window_, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// ---- tree ----------------------------------------------------------------

bool CUIWindowManager::AttachRoot(CControlUI* root) {
    if (!root) return false;
    HideToolTip();
    if (root_ && root_ != root) delete root_;
    focus_ = hot_ = click_ = keyDown_ = nullptr;
    root_ = root;
    layoutNeeded_ = true;
    windowInitPending_ = true;
    focusNeeded_ = true;
    InitControls(root, nullptr);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return true;
}

void CUIWindowManager::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control) return;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    Walk(control, [this](CControlUI* c) { RegisterName(c); });
}

void CUIWindowManager::RegisterName(CControlUI* control) {
    CUIString name = control->GetName();
    if (!name.empty() && names_.find(name) == names_.end()) names_[name] = control;
}

void CUIWindowManager::ReapObjects(CControlUI* control) {
    if (!control) return;
    // A removed container's children leave with it; a destroyed one's
    // children reap themselves as they are deleted.
    if (auto* container = static_cast<IContainerUI*>(control->FindInterface(L"IContainer")))
        for (int i = 0; i < container->GetCount(); ++i) ReapObjects(container->GetItemAt(i));
    if (focus_ == control) focus_ = nullptr;
    if (hot_ == control) hot_ = nullptr;
    if (click_ == control) {
        click_ = nullptr;
        if (GetCapture() == window_) ReleaseCapture();
    }
    if (keyDown_ == control) keyDown_ = nullptr;
    if (toolTipControl_ == control) HideToolTip();
    timers_.KillAll(control);
    for (auto it = names_.begin(); it != names_.end();) {
        if (it->second == control) it = names_.erase(it);
        else ++it;
    }
    for (UINotify& n : asyncNotify_)
        if (n.sender == control) n.sender = nullptr;
    for (auto& group : optionGroups_) {
        auto& v = group.second;
        v.erase(std::remove(v.begin(), v.end(), control), v.end());
    }
}

void CUIWindowManager::AddDelayedCleanup(CControlUI* control) {
    if (!control) return;
    ReapObjects(control);
    control->SetManager(nullptr, nullptr, false);
    delayedCleanup_.push_back(control);
    if (window_) PostMessageW(window_, FlushMessage(), 0, 0);
}

CControlUI* CUIWindowManager::FindControl(const CUIString& name) const {
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CUIWindowManager::FindControl(POINT pt) const {
    if (!root_) return nullptr;
    return root_->FindControl(FirstHit, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CUIWindowManager::FindSubControlByName(CControlUI* parent, const CUIString& name) const {
    CControlUI* found = nullptr;
    Walk(parent ? parent : root_, [&](CControlUI* c) {
        if (!found && _wcsicmp(c->GetName().c_str(), name.c_str()) == 0) found = c;
    });
    return found;
}

std::vector<CControlUI*> CUIWindowManager::FindSubControlsByClass(CControlUI* parent,
                                                                  const CUIString& className) const {
    std::vector<CControlUI*> found;
    Walk(parent ? parent : root_, [&](CControlUI* c) {
        if (className == L"*" || className == c->GetClassName()) found.push_back(c);
    });
    return found;
}

// ---- focus -----------------------------------------------------------------

void CUIWindowManager::SetFocus(CControlUI* control) {
    if (control == focus_) return;
    if (window_ && ::GetFocus() != window_) ::SetFocus(window_);
    if (focus_) {
        CControlUI* old = focus_;
        focus_ = nullptr;
        UIEvent e = MakeEvent(UIEVENT_KILLFOCUS, control, 0, 0);
        old->HandleEvent(e);
        SendNotify(old, L"killfocus");
    }
    if (control && control->GetManager() == this && control->IsVisible() && control->IsEnabled()) {
        focus_ = control;
        UIEvent e = MakeEvent(UIEVENT_SETFOCUS, control, 0, 0);
        control->HandleEvent(e);
        SendNotify(control, L"setfocus");
    }
}

std::vector<CControlUI*> CUIWindowManager::TabStops() const {
    std::vector<CControlUI*> stops;
    WalkVisible(root_, [&](CControlUI* c) {
        if (c->IsEnabled() && (c->GetControlFlags() & UIFLAG_TABSTOP)) stops.push_back(c);
    });
    return stops;
}

CControlUI* CUIWindowManager::FirstTabStop() const {
    std::vector<CControlUI*> stops = TabStops();
    return stops.empty() ? nullptr : stops.front();
}

bool CUIWindowManager::SetNextTabControl(bool forward) {
    std::vector<CControlUI*> stops = TabStops();
    if (stops.empty()) return false;
    auto it = std::find(stops.begin(), stops.end(), focus_);
    size_t next;
    if (it == stops.end()) next = forward ? 0 : stops.size() - 1;
    else {
        size_t i = static_cast<size_t>(it - stops.begin());
        next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
    }
    SetFocus(stops[next]);
    return true;
}

CControlUI* CUIWindowManager::FindShortcutControl(wchar_t ch) const {
    std::vector<CControlUI*> all;
    WalkVisible(root_, [&](CControlUI* c) { all.push_back(c); });
    wchar_t key = static_cast<wchar_t>(towupper(ch));
    for (size_t i = 0; i < all.size(); ++i) {
        CControlUI* c = all[i];
        if (!c->IsEnabled() || c->GetShortcut() == 0 || towupper(c->GetShortcut()) != key) continue;
        CUIString cls = c->GetClassName();
        if (cls != L"LabelUI" && cls != L"TextUI") return c;
        // A label names the control that follows it.
        for (size_t j = i + 1; j < all.size(); ++j)
            if (all[j]->IsEnabled()) return all[j];
        return nullptr;
    }
    return nullptr;
}

// ---- timers ----------------------------------------------------------------

bool CUIWindowManager::SetTimer(CControlUI* control, UINT timerId, UINT elapseMs) {
    if (!control || !window_) return false;
    return timers_.Set(window_, control, timerId, elapseMs);
}

// ---- listeners and notifications -------------------------------------------

namespace {
template <class T>
bool AddUnique(std::vector<T*>& v, T* p) {
    if (!p || std::find(v.begin(), v.end(), p) != v.end()) return false;
    v.push_back(p);
    return true;
}
template <class T>
bool RemoveOne(std::vector<T*>& v, T* p) {
    auto it = std::find(v.begin(), v.end(), p);
    if (it == v.end()) return false;
    v.erase(it);
    return true;
}
}  // namespace

bool CUIWindowManager::AddNotifier(INotifyUI* n) { return AddUnique(notifiers_, n); }
bool CUIWindowManager::RemoveNotifier(INotifyUI* n) { return RemoveOne(notifiers_, n); }
bool CUIWindowManager::AddPreMessageFilter(IMessageFilterUI* f) { return AddUnique(preFilters_, f); }
bool CUIWindowManager::RemovePreMessageFilter(IMessageFilterUI* f) { return RemoveOne(preFilters_, f); }
bool CUIWindowManager::AddMessageFilter(IMessageFilterUI* f) { return AddUnique(filters_, f); }
bool CUIWindowManager::RemoveMessageFilter(IMessageFilterUI* f) { return RemoveOne(filters_, f); }

void CUIWindowManager::SendNotify(CControlUI* sender, const CUIString& type, WPARAM wParam, LPARAM lParam,
                                  bool async) {
    UINotify msg;
    msg.type = type;
    msg.sender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

void CUIWindowManager::SendNotify(UINotify& msg, bool async) {
    msg.timestamp = GetTickCount();
    msg.mousePoint = lastMouse_;
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    asyncNotify_.push_back(msg);
    if (window_) PostMessageW(window_, FlushMessage(), 0, 0);
}

void CUIWindowManager::DeliverNotify(UINotify& msg) {
    if (msg.sender) {
        // Copies: a listener may add or remove listeners.
        std::vector<CControlUI::Listener> own = msg.sender->Listeners();
        for (auto& l : own) l(msg);
    }
    std::vector<INotifyUI*> notifiers = notifiers_;
    for (INotifyUI* n : notifiers)
        if (std::find(notifiers_.begin(), notifiers_.end(), n) != notifiers_.end()) n->Notify(msg);
}

void CUIWindowManager::FlushAsyncNotify() {
    while (!asyncNotify_.empty()) {
        UINotify msg = asyncNotify_.front();
        asyncNotify_.pop_front();
        DeliverNotify(msg);
    }
}

void CUIWindowManager::FlushDelayedCleanup() {
    std::vector<CControlUI*> doomed;
    doomed.swap(delayedCleanup_);
    for (CControlUI* c : doomed) delete c;
}

// ---- option groups -----------------------------------------------------------

void CUIWindowManager::AddOptionGroup(const CUIString& group, CControlUI* control) {
    auto& v = optionGroups_[group];
    if (std::find(v.begin(), v.end(), control) == v.end()) v.push_back(control);
}

const std::vector<CControlUI*>* CUIWindowManager::GetOptionGroup(const CUIString& group) const {
    auto it = optionGroups_.find(group);
    return it == optionGroups_.end() ? nullptr : &it->second;
}

void CUIWindowManager::RemoveOptionGroup(const CUIString& group, CControlUI* control) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end()) return;
    auto& v = it->second;
    v.erase(std::remove(v.begin(), v.end(), control), v.end());
    if (v.empty()) optionGroups_.erase(it);
}

// ---- process-wide translation ---------------------------------------------------

bool CUIWindowManager::TranslateMessage(const MSG* msg) {
    if (!msg || !msg->hwnd) return false;
    bool child = (GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    HWND parent = child ? GetParent(msg->hwnd) : nullptr;
    std::vector<CUIWindowManager*> managers = ManagerList();
    for (CUIWindowManager* m : managers) {
        const auto& live = ManagerList();
        if (std::find(live.begin(), live.end(), m) == live.end()) continue;
        if (m->window_ != msg->hwnd && !(child && m->window_ == parent)) continue;
        LRESULT result = 0;
        if (m->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result)) return true;
    }
    return false;
}

void CUIWindowManager::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace UiKit
