// The player window. This first version is a plain Win32 window that owns the
// engine objects and speaks the host protocol; the skinned window replaces
// its body later, keeping these operations.
#pragma once
#include <windows.h>

#include <string>

#include "player/score_engine_loader.h"

class CWndMelvane {
public:
    CWndMelvane();
    ~CWndMelvane();

    // Creates the system window: desktop parent, caption "Melvane", 879x600.
    HWND CreatePlayerWindow();
    HWND GetHWND() const { return hwnd_; }
    void CenterWindow();

    void ApplyLanguage(int language);
    void ApplySkin(const std::wstring& folder);
    void HostCommand(int code);
    // Closes owned windows, stops playback and posts WM_CLOSE (wParam 2 when
    // the host asks, 1 for the player's own close button).
    void ClosePlayer(bool byHost);

    void SetTempoIndex(int index);
    int TempoIndex() const { return tempoIndex_; }
    float TempoRatio() const;
    void StartPlay();
    void PausePlay();
    void StopPlay();

    IScore* Score() const { return score_; }
    ISelectAct* SelectAct() const { return selectAct_; }
    const std::wstring& SkinFolder() const { return skinFolder_; }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void LoadEngine();
    void ReleaseEngine();
    void OnPaint();

    HWND hwnd_ = nullptr;
    int tempoIndex_ = 20;
    std::wstring skinFolder_;
    std::wstring title_;
    CScoreEngineLoader engine_;
    IScore* score_ = nullptr;
    ISelectAct* selectAct_ = nullptr;
};
