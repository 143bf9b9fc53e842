#include "uikit/menu/menu_wnd.h"

#include "uikit/core/skin_builder.h"
#include "uikit/menu/menu_placement.h"
#include "uikit/menu/menu_ui.h"

namespace UiKit {
namespace {

MenuTextsHook g_textsHook = nullptr;

RECT WorkAreaOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool IsAncestor(HWND ancestor, HWND window) {
    if (!ancestor) return false;
    for (HWND up = GetParent(window); up; up = GetParent(up))
        if (up == ancestor) return true;
    return false;
}

}  // namespace

void SetMenuTextsHook(MenuTextsHook hook) { g_textsHook = hook; }

CMenuWnd::CMenuWnd(HWND parent) : parent_(parent) {}

void CMenuWnd::Init(CMenuElementUI* owner, const CUIString& source, const wchar_t* skinType, POINT point) {
    basedPoint_ = point;
    owner_ = owner;
    source_ = source;
    skinType_ = skinType ? skinType : L"";
    layout_ = nullptr;
    GetContextMenuObserver().AddReceiver(this);

    HWND parent = owner_ && owner_->GetManager() ? owner_->GetManager()->GetPaintWindow() : parent_;
    HWND window = Create(parent, L"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, RECT{0, 0, 0, 0});
    if (!window) {
        // No window means no final message: leave and go now.
        RemoveObserver();
        if (owner_) owner_->OnSubMenuClosed();
        delete this;
        return;
    }
    // A menu that could not be built has posted its own close already.
    if (!manager_.GetRoot()) return;

    HWND top = window;
    for (HWND up = GetParent(top); up; up = GetParent(up)) top = up;
    ::ShowWindow(window, SW_SHOW);
    // Keeps the caption of the window that opened the menu drawn as active.
    ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
}

bool CMenuWnd::Receive(ContextMenuParam param) {
    HWND window = GetHWND();
    switch (param.wParam) {
    case 1:
        Close(1);
        break;
    case 2:
        if (window && IsAncestor(param.hWnd, window)) Close(1);
        break;
    default:
        break;
    }
    return true;
}

void CMenuWnd::ForgetOwner() {
    owner_ = nullptr;
    Close(1);
}

// Messages a menu window answers before (or instead of) its manager.
LRESULT CMenuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            Close(1);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (owner_) OnSubMenuClose();
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT CMenuWnd::OnCreate() {
    manager_.Init(GetHWND());
    bool built = owner_ ? BuildSubMenu() : BuildRootMenu();
    if (!built) {
        // Nothing to measure or show: the menu closes at once.
        Close(1);
        return 0;
    }
    PlaceAndShow(basedPoint_);
    // The language texts replace the markup texts only now: the size was
    // measured on the markup's.
    if (g_textsHook) g_textsHook(&manager_);
    return 0;
}

bool CMenuWnd::BuildRootMenu() {
    CSkinBuilder builder;
    CMenuBuilderCallback callback;
    const wchar_t* type = skinType_.empty() ? nullptr : skinType_.c_str();
    CControlUI* root = builder.Build(source_.c_str(), type, &callback, &manager_);
    if (!root) return false;
    manager_.AttachRoot(root);
    return true;
}

bool CMenuWnd::BuildSubMenu() {
    CUIWindowManager* ownerManager = owner_->GetManager();
    if (!ownerManager) return false;
    layout_ = new CMenuUI;
    manager_.SetParentResourceManager(ownerManager);
    CUIString defaults = ownerManager->GetDefaultAttributeList(L"Menu");
    if (!defaults.empty()) layout_->ApplyAttributeList(defaults.c_str());
    layout_->SetBkColor(0xFFFFFFFF);
    layout_->SetBorderColor(0xFF85E4FF);
    layout_->SetBorderSize(0);
    // The owner's sub-items move into this window while it is open.
    owner_->SetAutoDestroy(false);
    for (int i = 0; i < owner_->GetCount();) {
        CControlUI* item = owner_->GetItemAt(i);
        if (item->FindInterface(L"MenuElement")) {
            owner_->RemoveAt(i);
            item->SetVisible(true);
            layout_->Add(item);
        } else {
            ++i;
        }
    }
    owner_->SetAutoDestroy(true);
    manager_.AttachRoot(layout_);
    // Beside the owner item: to its right, top edges level.
    RECT item = owner_->GetPosition();
    POINT pt = {item.right, item.top};
    ClientToScreen(ownerManager->GetPaintWindow(), &pt);
    basedPoint_ = pt;
    return true;
}

void CMenuWnd::PlaceAndShow(POINT point) {
    HWND window = GetHWND();
    CControlUI* root = manager_.GetRoot();
    RECT work = WorkAreaOf(window);
    SIZE available = {work.right - work.left, work.bottom - work.top};
    SIZE size = root->MeasureSize(available);
    manager_.SetInitSize(size.cx, size.cy);

    RECT rc = PlaceMenu(point, size, work);
    if (owner_ && rc.right == point.x) {
        // A sub-menu that does not fit on the right goes left of the menu
        // that holds its owner.
        RECT parentRect;
        GetWindowRect(owner_->GetManager()->GetPaintWindow(), &parentRect);
        rc.left = parentRect.left - size.cx;
        rc.right = parentRect.left;
    }
    SetForegroundWindow(window);
    MoveWindow(window, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
    SetWindowPos(window, HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW);
}

void CMenuWnd::OnKillFocus(HWND gaining) {
    // Focus moving between the open menus keeps them open.
    for (ReceiverImplBase<ContextMenuParam>* receiver : GetContextMenuObserver().Receivers()) {
        auto* menu = dynamic_cast<CMenuWnd*>(receiver);
        if (menu && menu != this && gaining && menu->GetHWND() == gaining) return;
    }
    GetContextMenuObserver().RBroadcast(ContextMenuParam{1, nullptr});
}

void CMenuWnd::OnSubMenuClose() {
    CMenuElementUI* owner = owner_;
    owner_ = nullptr;
    // The sub-items go back to the owner, hidden, and belong to no list.
    if (layout_) {
        CContainerUI* body = layout_->GetList();
        body->SetAutoDestroy(false);
        while (layout_->GetCount() > 0) {
            CControlUI* item = layout_->GetItemAt(0);
            layout_->RemoveAt(0);
            if (auto* listItem = static_cast<IListItemUI*>(item->FindInterface(L"ListItem"))) {
                listItem->Select(false);
                listItem->SetOwner(nullptr);
            }
            owner->Add(item);
        }
        body->SetAutoDestroy(true);
    }
    owner->OnSubMenuClosed();
    owner->SetFocus();
}

void CMenuWnd::OnNcDestroyed(HWND window) {
    (void)window;
    RemoveObserver();
    if (owner_) OnSubMenuClose();
    delete this;
}

}  // namespace UiKit
