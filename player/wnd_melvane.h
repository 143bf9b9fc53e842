// The plug-in's main window: tool bar, library panel, score view, play
// display and status line, built from "WndMelvane.xml". It owns the score
// engine objects and dispatches clicks, notifications, timers and the
// engine's messages to the player's operations; playing, pausing, the
// count-in, the tempo and the hands are the transport's (player/transport.h).
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "frame/wnd_impl_base.h"
#include "library/score_player.h"
#include "player/play_position.h"
#include "player/score_engine_loader.h"
#include "player/transport.h"

namespace UiKit {
class CButtonUI;
class CComboUI;
class CControlUI;
class CLabelUI;
}  // namespace UiKit
namespace Gdiplus {
class Image;
}
class CScoreListUI;
class CWndSubScoreList;

class CWndMelvane : public CWndImplBase, public IScorePlayer {
public:
    CWndMelvane();
    // The process's player window. Plain shared pointer, no lock: set and used
    // on the UI thread, cleared by the window when it is destroyed and by
    // FunZYQPluginExit once the thread has ended.
    static CWndMelvane* volatile& Current();
    ~CWndMelvane() override;

    // Creates the system window: desktop parent, caption "Melvane", 879x600.
    HWND CreatePlayerWindow();

    void ApplyLanguage(int language);
    void ApplySkin(const std::wstring& folder);
    void RefreshTitle();
    // The host's four command codes; any other code does nothing.
    void HostCommand(int code);
    // Closes the windows this one owns, stops playback and closes the window
    // with result 2 (fromSystem) or 1.
    void ClosePlayer(bool fromSystem);

    // The word an opening posts its end-of-play message with; the engine's
    // own end of the score comes without one.
    static const WPARAM kOpenedScoreEnd = 0x4F50454E;  // "OPEN"

    // Stops the transport and turns back to the first page and measure: the
    // engine reached the end, or a score was just opened. After an opening
    // the transport has stopped already and only the rest follows.
    void ResetTransport(bool afterOpening = false);
    // Paints the count-in number over the score view while it runs.
    void DrawCountIn(HDC hdc) { transport_.DrawCountIn(hdc); }

    // Opening and the score information the engine reports.
    bool OpenScore(const std::wstring& path) override;
    // The open score's file was renamed or moved with its folder: only the
    // path and the title follow; what is shown and played stays as it is.
    void SetCurrentScorePath(const std::wstring& path) override;
    void ShowOpenDialog();
    void ShowKey(int key);
    void ShowMeter(int beats, int unit);
    void ShowTempo(int bpm);

    // Zoom, pages, panels and layout.
    void ZoomIn();
    void ZoomStep(int step);
    void FitWidth();
    void OnZoomComboSelect(int index);
    void ApplyZoom();
    void LayoutPages(bool fit);
    void PageCommand(int command);
    void TogglePanel(UiKit::CControlUI* sender);
    void LayoutPanels();
    void EnsureVisible(const RECT& rc);
    // The library panel's page flag: set when a page is chosen explicitly,
    // so that the next EnsureVisible puts the page's top at the view's top.
    void SetPageJumpPending(bool pending);
    bool PageJumpPending() const;

    // Position, as the engine reports it.
    void ShowPosition(int current, int total) { position_.ShowPosition(current, total); }
    void ShowTime(int currentMs, int totalMs) { position_.ShowTime(currentMs, totalMs); }

    IScore* Score() const { return score_; }
    const std::wstring& CurrentScorePath() const override { return scorePath_; }
    CScoreListUI* ScoreView() const override { return scoreView_; }

protected:
    const wchar_t* WindowClassName() const override { return L"CWndMelvane"; }
    void OnNcDestroyed(HWND window) override;
    void OnWindowBuilt() override;
    LRESULT OnClose(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    LRESULT OnSize(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    LRESULT OnSysCommand(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    LRESULT OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    LRESULT OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;
    const wchar_t* MarkupFileName() const override { return L"WndMelvane.xml"; }
    LRESULT OnDialogKey(WPARAM key, LPARAM lp) override;
    void Notify(UiKit::UINotify& msg) override;
    UiKit::CControlUI* CreateControl(const wchar_t* elementName) override;

private:
    void LookUpControls();
    void LoadEngine();
    void ReleaseEngine();
    void OnWindowInit();
    void OnClick(UiKit::CControlUI* sender);
    void OnStartupTimer();
    bool HasPageItem() const;
    bool IsAutoZoom() const;
    void RefreshZoomAutoText();
    void AnswerProbe(const wchar_t* name, ControlProbe* probe) override;
    void SwapMaxRestoreButtons();
    UiKit::CControlUI* Find(const wchar_t* name);

    // Controls of the markup (not owned; null when the markup lacks one).
    UiKit::CLabelUI* title_ = nullptr;
    UiKit::CButtonUI* btnSetting_ = nullptr;
    UiKit::CButtonUI* btnMin_ = nullptr;
    UiKit::CButtonUI* btnMax_ = nullptr;
    UiKit::CButtonUI* btnRestore_ = nullptr;
    UiKit::CButtonUI* btnClose_ = nullptr;
    UiKit::CButtonUI* btnOpen_ = nullptr;
    UiKit::CButtonUI* btnZoomIn_ = nullptr;
    UiKit::CButtonUI* btnZoomOut_ = nullptr;
    UiKit::CButtonUI* btnZoomWidth_ = nullptr;
    UiKit::CComboUI* comboZoom_ = nullptr;
    UiKit::CLabelUI* keyValue_ = nullptr;
    UiKit::CLabelUI* meterValue_ = nullptr;
    UiKit::CLabelUI* tempoValue_ = nullptr;
    UiKit::CLabelUI* version_ = nullptr;
    UiKit::CButtonUI* btnPageHome_ = nullptr;
    UiKit::CButtonUI* btnPagePrev_ = nullptr;
    UiKit::CButtonUI* btnPageNext_ = nullptr;
    UiKit::CButtonUI* btnPageEnd_ = nullptr;
    UiKit::CButtonUI* btnShowScorePanel_ = nullptr;
    UiKit::CButtonUI* btnHideScorePanel_ = nullptr;
    UiKit::CButtonUI* btnShowOpPanel_ = nullptr;
    UiKit::CButtonUI* btnHideOpPanel_ = nullptr;
    UiKit::CControlUI* titleBar_ = nullptr;
    UiKit::CControlUI* operationPanel_ = nullptr;
    CWndSubScoreList* panel_ = nullptr;
    CScoreListUI* scoreView_ = nullptr;
    UiKit::CControlUI* playDisplay_ = nullptr;

    std::wstring scorePath_;
    std::wstring pluginVersion_;  // the plug-in file's, read at the first need
    // The page view's zoom; the score view and the panel's thumbnails ask for
    // it through the view's zoom callback.
    float zoom_ = 1.0f;
    CTransport transport_;
    CPlayPosition position_;
    CScoreEngineLoader engine_;
    IScore* score_ = nullptr;
    ISelectAct* selectAct_ = nullptr;
    // The loading image, decoded from the plug-in's resources at the first
    // opening and kept: each opening's waiting window takes its own copy.
    std::unique_ptr<Gdiplus::Image> loadingImage_;
};
