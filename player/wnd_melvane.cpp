#include "player/wnd_melvane.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cwchar>
#include <memory>

#include "frame/host_protocol.h"
#include "frame/lang_apply.h"
#include "frame/lang_format.h"
#include "frame/lang_table.h"
#include "frame/path_name.h"
#include "frame/plugin_state.h"
#include "frame/version_info.h"
#include "library/score_file_dialog.h"
#include "library/settings_file.h"
#include "library/wnd_sub_score_list.h"
#include "player/player_probe.h"
#include "player/slider_ex.h"
#include "scoreview/score_list_ui.h"
#include "uikit/controls/button_option.h"
#include "uikit/controls/combo.h"
#include "uikit/controls/label_text.h"
#include "uikit/markup/image_loader.h"
#include "uikit/menu/menu_ui.h"

using UiKit::CButtonUI;
using UiKit::CControlUI;
using UiKit::CLabelUI;

namespace {
const int kIconResource = 106;
const wchar_t kHomePage[] = L"http://www.melvane-music.com/";
const UINT_PTR kStartupTimer = 1;

template <typename T>
T* As(CControlUI* control) {
    return dynamic_cast<T*>(control);
}

}  // namespace

CWndMelvane::CWndMelvane() = default;

CWndMelvane* volatile& CWndMelvane::Current() {
    static CWndMelvane* volatile current = nullptr;
    return current;
}

CWndMelvane::~CWndMelvane() {
    ReleaseEngine();
    PostQuitMessage(0);
}

HWND CWndMelvane::CreatePlayerWindow() {
    return Create(GetDesktopWindow(), L"Melvane", WS_SYSMENU | WS_THICKFRAME, WS_EX_APPWINDOW, 0, 0, 879, 600);
}

CControlUI* CWndMelvane::Find(const wchar_t* name) { return manager_.FindControl(name); }

void CWndMelvane::LookUpControls() {
    title_ = As<CLabelUI>(Find(L"ID_WND_MELVANE_TITLE"));
    btnSetting_ = As<CButtonUI>(Find(L"ID_BTN_MELVANE_SETTING"));
    btnMin_ = As<CButtonUI>(Find(L"ID_BTN_MELVANE_MIN"));
    btnMax_ = As<CButtonUI>(Find(L"ID_BTN_MELVANE_MAX"));
    btnRestore_ = As<CButtonUI>(Find(L"ID_BTN_MELVANE_RESTORE"));
    btnClose_ = As<CButtonUI>(Find(L"ID_BTN_MELVANE_CLOSE"));
    btnOpen_ = As<CButtonUI>(Find(L"ID_BTN_OPEN_FILE"));
    btnZoomIn_ = As<CButtonUI>(Find(L"ID_BTN_ZOOM_IN"));
    btnZoomOut_ = As<CButtonUI>(Find(L"ID_BTN_ZOOM_OUT"));
    btnZoomWidth_ = As<CButtonUI>(Find(L"ID_BTN_ZOOM_WIDTH"));
    comboZoom_ = As<UiKit::CComboUI>(Find(L"ID_COMBO_ZOOM"));
    keyValue_ = As<CLabelUI>(Find(L"ID_SCORE_KEY_VALUE"));
    meterValue_ = As<CLabelUI>(Find(L"ID_SCORE_METER_VALUE"));
    tempoValue_ = As<CLabelUI>(Find(L"ID_SCORE_TEMPO_VALUE"));
    version_ = As<CLabelUI>(Find(L"ID_LABEL_VERSION"));
    btnPageHome_ = As<CButtonUI>(Find(L"ID_BTN_PAGE_HOME"));
    btnPagePrev_ = As<CButtonUI>(Find(L"ID_BTN_PAGE_PREV"));
    btnPageNext_ = As<CButtonUI>(Find(L"ID_BTN_PAGE_NEXT"));
    btnPageEnd_ = As<CButtonUI>(Find(L"ID_BTN_PAGE_END"));
    btnShowScorePanel_ = As<CButtonUI>(Find(L"ID_BTN_SHOW_SCORE_PANEL"));
    btnHideScorePanel_ = As<CButtonUI>(Find(L"ID_BTN_HIDE_SCORE_PANEL"));
    btnShowOpPanel_ = As<CButtonUI>(Find(L"ID_BTN_SHOW_OPERATION_PANEL"));
    btnHideOpPanel_ = As<CButtonUI>(Find(L"ID_BTN_HIDE_OPERATION_PANEL"));
    titleBar_ = Find(L"ID_WND_TITLE");
    operationPanel_ = Find(L"ID_OPERATION_PANEL");
    panel_ = As<CWndSubScoreList>(Find(L"ID_SCORE_PANEL"));
    scoreView_ = As<CScoreListUI>(Find(L"ID_SCORE_VIEW"));
    playDisplay_ = Find(L"ID_PANEL_PLAY_DIS");
    transport_.Attach(hwnd_, &manager_, scoreView_, playDisplay_);
    position_.Attach(&manager_);
}

void CWndMelvane::OnWindowBuilt() {
    HINSTANCE module = Plugin().module;
    HICON big = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    if (big) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    LookUpControls();
    if (scoreView_) {
        scoreView_->zoom = [this] { return zoom_; };
        scoreView_->paintOverPage = [this](HDC dc) { DrawCountIn(dc); };
    }
    manager_.AddImage(L"PNG_BK_SPLASH.png");
    LoadEngine();
    if (panel_) {
        if (score_ && selectAct_) panel_->SetEngine(score_, selectAct_);
        panel_->InitControls();
    }
}

void CWndMelvane::LoadEngine() {
    if (!engine_.Load(PluginFolder())) return;
    score_ = engine_.CreateScore();
    if (score_) score_->ops->SetOwnerWindow(score_, hwnd_);
    transport_.SetScore(score_);
    position_.SetScore(score_);
    if (scoreView_ && score_) scoreView_->SetScore(score_, 2);
    selectAct_ = engine_.CreateSelectAct();
}

void CWndMelvane::ReleaseEngine() {
    if (score_) engine_.ReleaseScore(score_);
    if (selectAct_) engine_.ReleaseSelectAct(selectAct_);
    score_ = nullptr;
    selectAct_ = nullptr;
    transport_.SetScore(nullptr);
    position_.SetScore(nullptr);
    if (scoreView_) scoreView_->SetScore(nullptr, 2);
    engine_.Unload();
}

CControlUI* CWndMelvane::CreateControl(const wchar_t* elementName) {
    if (wcscmp(elementName, L"SliderEx") == 0) return new CSliderExUI();
    if (wcscmp(elementName, L"ScoreList") == 0) return new CScoreListUI(&manager_);
    if (wcscmp(elementName, L"WndSubScoreList") == 0) return new CWndSubScoreList(this, &manager_);
    return nullptr;
}

void CWndMelvane::Notify(UiKit::UINotify& msg) {
    const UiKit::CUIString& type = msg.type;
    if (type == L"windowinit") {
        OnWindowInit();
    } else if (type == L"click") {
        OnClick(msg.sender);
    } else if (type == L"itemselect") {
        if (comboZoom_ && msg.sender == comboZoom_) OnZoomComboSelect(comboZoom_->GetCurSel());
    } else if (type == L"valuechanged") {
        if (position_.Ruler() && msg.sender == position_.Ruler()) position_.OnMoved();
    }
}

void CWndMelvane::OnClick(CControlUI* sender) {
    if (!sender) return;
    const UiKit::CUIString name = sender->GetName();
    if (name.empty()) return;
    auto is = [&name](CControlUI* c) { return c && c->GetName() == name; };
    if (is(btnClose_)) ClosePlayer(false);
    else if (is(btnMax_)) SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (is(btnMin_)) SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (is(btnRestore_)) SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    else if (is(btnOpen_)) ShowOpenDialog();
    else if (is(btnZoomIn_)) ZoomIn();
    else if (is(btnZoomOut_)) ZoomStep(+1);
    else if (is(btnZoomWidth_)) FitWidth();
    else if (transport_.OnClick(sender)) return;
    else if (is(btnPageHome_)) PageCommand(SCORE_PAGE_FIRST);
    else if (is(btnPagePrev_)) PageCommand(SCORE_PAGE_PREV);
    else if (is(btnPageNext_)) PageCommand(SCORE_PAGE_NEXT);
    else if (is(btnPageEnd_)) PageCommand(SCORE_PAGE_LAST);
    else if (is(btnShowScorePanel_) || is(btnHideScorePanel_) || is(btnShowOpPanel_) || is(btnHideOpPanel_))
        TogglePanel(sender);
    else if (name == L"ID_BTN_LINK_HOME")
        ShellExecuteW(nullptr, L"Open", kHomePage, nullptr, nullptr, SW_SHOW);
}

void CWndMelvane::OnWindowInit() {
    shadow_.Create(hwnd_);
    std::wstring remembered = ReadRememberedScore(PluginFolder());
    if (!remembered.empty()) scorePath_ = remembered;
    transport_.ApplyTempo();
    FitWidth();
    if (comboZoom_) comboZoom_->SelectItem(6);
    position_.LayOut();
}

void CWndMelvane::OnStartupTimer() {
    FitWidth();
    KillTimer(hwnd_, kStartupTimer);
    if (panel_) panel_->LoadScoreLibrary();
}

LRESULT CWndMelvane::OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) {
    switch (msg) {
    case WM_NCLBUTTONDBLCLK:
        if (wp != HTCAPTION) break;
        SendMessage(WM_SYSCOMMAND, IsZoomed(hwnd_) ? SC_RESTORE : SC_MAXIMIZE, 0);
        return 0;
    case WM_TIMER:
        if (wp == kStartupTimer) OnStartupTimer();
        else if (wp == CTransport::kCountInTimer) transport_.OnCountInTick();
        else break;
        return 0;
    case WM_SCORE_PLAY_END: ResetTransport(wp == kOpenedScoreEnd); return 0;
    case WM_SCORE_SHOW_RECT: {
        const RECT* rc = reinterpret_cast<const RECT*>(wp);
        if (scoreView_ && rc && rc->left >= 0 && rc->top >= 0 && rc->right >= 0 && rc->bottom >= 0)
            EnsureVisible(*rc);
        return 0;
    }
    case WM_SCORE_PAGE:
        if (panel_) panel_->SelectPageRow(static_cast<int>(wp));
        return 0;
    case UiKit::MENU_ITEM_CHOSEN: {
        std::unique_ptr<wchar_t[]> name(reinterpret_cast<wchar_t*>(lp));
        std::wstring copy = name ? name.get() : L"";
        if (panel_) panel_->OnMenuCommand(copy);
        return 0;
    }
    default: break;
    }
    handled = FALSE;
    return 0;
}

LRESULT CWndMelvane::OnSysCommand(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) {
    if ((wp & 0xFFF0) == SC_CLOSE) {
        ClosePlayer(true);
        return 0;
    }
    BOOL wasZoomed = IsZoomed(hwnd_);
    LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
    if (wasZoomed != IsZoomed(hwnd_) && CWndMelvane::Current()) SwapMaxRestoreButtons();
    (void)handled;
    return r;
}

void CWndMelvane::SwapMaxRestoreButtons() {
    bool zoomed = IsZoomed(hwnd_) != FALSE;
    if (btnMax_) btnMax_->SetVisible(!zoomed);
    if (btnRestore_) btnRestore_->SetVisible(zoomed);
}

LRESULT CWndMelvane::OnSize(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) {
    LRESULT r = CWndImplBase::OnSize(msg, wp, lp, handled);
    LayoutPanels();
    return r;
}

LRESULT CWndMelvane::OnLButtonDown(UINT, WPARAM, LPARAM lp, BOOL& handled) {
    handled = FALSE;
    if (!score_ || !selectAct_) return 0;
    POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (scoreView_ && PtInRect(&scoreView_->GetPosition(), pt) &&
        selectAct_->ops->HitTest(selectAct_, hwnd_, score_, &pt)) {
        selectAct_->ops->Activate(selectAct_);
        unsigned char result[16] = {};
        selectAct_->ops->QueryResult(selectAct_, result);
    }
    CSliderExUI* ruler = position_.Ruler();
    if (ruler && PtInRect(&ruler->GetPosition(), pt)) transport_.PauseForSeek();
    return 0;
}

LRESULT CWndMelvane::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = FALSE;
    CSliderExUI* ruler = position_.Ruler();
    if (ruler && ruler->IsFocused()) transport_.ResumeAfterSeek();
    return 0;
}

LRESULT CWndMelvane::OnDialogKey(WPARAM key, LPARAM) {
    if (key == VK_RETURN) {
        if (panel_) panel_->SearchScores();
        return 0;
    }
    return key == VK_ESCAPE ? 1 : 0;
}

void CWndMelvane::HostCommand(int code) { transport_.HostCommand(code); }

void CWndMelvane::ResetTransport(bool afterOpening) {
    // The opening stopped the transport itself; a start that reached the
    // window since, while this message waited in the queue, stands.
    if (afterOpening ? !transport_.HasButtons() : !transport_.Reset()) return;
    if (score_) {
        SetPageJumpPending(true);
        score_->ops->GoToPage(score_, SCORE_PAGE_FIRST);
    }
    position_.Rewind();
    SendResetNotesToHost();
}

bool CWndMelvane::HasPageItem() const { return scoreView_ && scoreView_->GetCount() > 0; }

// Closes every top-level window with this caption that this window owns (its
// message boxes share the player's own caption, so the player itself is
// passed over rather than ending the search).
static void CloseOwnedWindowTitled(HWND owner, const std::wstring& caption) {
    if (caption.empty()) return;
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, nullptr, caption.c_str())) != nullptr) {
        if (found != owner && GetParent(found) == owner) SendMessageW(found, WM_CLOSE, 1, 0);
    }
}

void CWndMelvane::ClosePlayer(bool fromSystem) {
    CloseOwnedWindowTitled(hwnd_, GetLangText(L"ID_WND_MELVANE_TITLE"));
    CloseOwnedWindowTitled(hwnd_, kScoreDialogTitle);
    if (panel_) panel_->CloseNameDialog();
    transport_.Stop();
    Close(fromSystem ? 2 : 1);
}

LRESULT CWndMelvane::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
    ReleaseEngine();
    WriteRememberedScore(PluginFolder(), scorePath_);
    handled = FALSE;
    return 0;
}

void CWndMelvane::OnNcDestroyed(HWND window) {
    CWndImplBase::OnNcDestroyed(window);
    if (CWndMelvane::Current() == this) CWndMelvane::Current() = nullptr;
    delete this;  // posts the quit message that ends the UI thread's loop
    PostPluginClosedToHost();
}

// Every opening comes here too, mostly with the caption and the version as
// they were: setting the same caption again costs a trip to the window
// system, and the version is read from the plug-in file once.
void CWndMelvane::RefreshTitle() {
    std::wstring title = GetLangText(L"ID_WND_MELVANE_TITLE");
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd_, caption, 256);
    if (title != caption) SetWindowTextW(hwnd_, title.c_str());
    if (title_ && !scorePath_.empty()) {
        std::wstring name = GetNameFromPath(scorePath_, false);
        if (!name.empty()) title_->SetText(title + L"  ( " + name + L" )");
    }
    if (version_) {
        if (pluginVersion_.empty()) pluginVersion_ = GetFileVersionText(Plugin().module, std::wstring());
        version_->SetText(FormatLangText(GetLangText(L"ID_BTN_VERSION"), pluginVersion_));
    }
}

void CWndMelvane::ApplyLanguage(int language) {
    SelectLanguageFile(PluginFolder(), language);
    ApplyLangTexts(&manager_);
    // The home page link shows its words underlined, as formatted text; the
    // language file holds the plain words, which its tooltip shows as they are.
    if (CControlUI* link = Find(L"ID_BTN_LINK_HOME")) {
        const std::wstring words = GetLangText(L"ID_BTN_LINK_HOME");
        if (!words.empty()) {
            link->SetText(L"{u}" + words + L"{/u}");
            link->SetToolTip(words);
        }
    }
    RefreshZoomAutoText();
    RefreshTitle();
    if (panel_) {
        panel_->RefreshSearchText();
        panel_->RefreshPageTitles();
    }
}

void CWndMelvane::ApplySkin(const std::wstring& folder) {
    // An image of the host's folder is read here by its path and cached
    // under a name of our own, so that nothing in a folder name is ever read
    // as image description syntax. A file that is missing or does not decode
    // leaves the package image.
    auto image = [this, &folder](const wchar_t* file, const wchar_t* packaged, DWORD mask) {
        std::wstring path = folder;
        if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
        path += file;
        UiKit::UIImageInfo loaded;
        if (folder.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ||
            !UiKit::LoadDiskImage(path, mask, loaded))
            return std::wstring(packaged);
        std::wstring name = std::wstring(L"skin folder:") + file;
        manager_.ReplaceImage(name, loaded);
        return name;
    };
    if (CControlUI* bg = Find(L"bg"))
        bg->SetBkImage(L"file='" + image(L"PNG_DLG_POP_BK.png", L"PNG_BK_WND.png", 0xFF00FF) +
                       L"' corner='12,35,12,10' mask='#FF00FF'");
    const struct {
        CButtonUI* button;
        const wchar_t* file;
    } captions[] = {{btnClose_, L"PNG_PLUGIN_ZYQVESTRA_CLOSE.png"},     {btnMin_, L"PNG_PLUGIN_ZYQVESTRA_MIN.png"},
                    {btnMax_, L"PNG_PLUGIN_ZYQVESTRA_MAX.png"},         {btnRestore_, L"PNG_PLUGIN_ZYQVESTRA_RESTORE.png"},
                    {btnSetting_, L"PNG_PLUGIN_ZYQVESTRA_SETTINGS.png"}};
    for (const auto& c : captions) {
        if (!c.button) continue;
        std::wstring file = L"file='" + image(c.file, c.file, 0) + L"' source='";
        c.button->ApplyAttribute(L"normalimage", (file + L"0,0,19,19'").c_str());
        c.button->ApplyAttribute(L"hotimage", (file + L"19,0,38,19'").c_str());
        c.button->ApplyAttribute(L"pushedimage", (file + L"38,0,57,19'").c_str());
    }
    manager_.Invalidate(RECT{0, 0, 0x7FFF, 0x7FFF});
}
