// Opening a score: the open dialog, OpenScore with its waiting window and
// error messages, and the score information the engine reports back.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "frame/host_protocol.h"
#include "frame/lang_table.h"
#include "frame/loading_splash.h"
#include "frame/plugin_state.h"
#include "library/score_file_dialog.h"
#include "library/wnd_sub_score_list.h"
#include "player/slider_ex.h"
#include "player/wnd_melvane.h"
#include "scoreview/score_list_ui.h"
#include "uikit/controls/label_text.h"

namespace {
const wchar_t* const kKeyNames[15] = {L"bC", L"bG", L"bD", L"bA", L"bE", L"bB", L"F", L"C",
                                      L"G",  L"D",  L"A",  L"E",  L"B",  L"#F", L"#C"};

// The engine calls these on the user-interface thread while it loads or plays.
void __cdecl KeyReported(int key) {
    if (CWndMelvane* p = CWndMelvane::Current()) p->ShowKey(key);
}
void __cdecl MeterReported(int beats, int unit) {
    if (CWndMelvane* p = CWndMelvane::Current()) p->ShowMeter(beats, unit);
}
void __cdecl TempoReported(int bpm) {
    if (CWndMelvane* p = CWndMelvane::Current()) p->ShowTempo(bpm);
}
void __cdecl MeasureReported(int current, int total) {
    if (CWndMelvane* p = CWndMelvane::Current()) p->ShowPosition(current, total);
}
void __cdecl TimeReported(int currentMs, int totalMs) {
    if (CWndMelvane* p = CWndMelvane::Current()) p->ShowTime(currentMs, totalMs);
}
void __cdecl NoteReported(int note, int velocity, int channel, int hand, int on) {
    if (CWndMelvane::Current()) SendNoteToHost(PackNoteWord(note, velocity, channel, hand, on));
}

const wchar_t* LoadErrorTextId(int result) {
    switch (result) {
    case SCORE_E_VERSION:
    case SCORE_E_OTHER:
    case SCORE_E_DAMAGED: return L"ID_MSG_TIP_UPDATE";
    case SCORE_E_UNREADABLE: return L"ID_MSG_ERR_LOAD_FILE";
    case SCORE_E_NOT_SCORE: return L"ID_MSG_ERR_NO_ZYQN_FILE";
    default: return nullptr;
    }
}
}  // namespace

void CWndMelvane::ShowKey(int key) {
    if (key < 0 || key > 14) return;
    if (keyValue_) keyValue_->SetText(kKeyNames[key]);
    SendKeyToHost(key);
}

void CWndMelvane::ShowMeter(int beats, int unit) {
    if (unit <= 0 || !meterValue_) return;
    wchar_t text[32];
    if (beats == 0) swprintf(text, 32, L"0");
    else swprintf(text, 32, L"%d/%d", beats, unit);
    meterValue_->SetText(text);
}

void CWndMelvane::ShowTempo(int bpm) {
    if (!tempoValue_) return;
    wchar_t text[32];
    swprintf(text, 32, L"%d", bpm <= 0 ? 120 : bpm);
    tempoValue_->SetText(text);
}

bool CWndMelvane::OpenScore(const std::wstring& path) {
    CLoadingSplash splash(hwnd_);
    if (scoreView_) splash.SetTargetRect(scoreView_->GetPosition());
    if (!loadingImage_) loadingImage_.reset(CLoadingSplash::LoadImageResource(Plugin().module));
    splash.SetImageAndText(loadingImage_.get(), CLoadingSplash::WaitingTipText());
    splash.Show();

    if (!score_ || path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        splash.Hide();
        return true;
    }
    score_->ops->Stop(score_);
    int result = score_->ops->Load(score_, path.c_str());
    if (const wchar_t* textId = LoadErrorTextId(result)) {
        splash.Hide();
        MessageBoxW(hwnd_, GetLangText(textId).c_str(), GetLangText(L"ID_WND_MELVANE_TITLE").c_str(), MB_OK);
        return false;
    }

    score_->ops->SetOwnerWindow(score_, hwnd_);
    scorePath_ = path;
    RefreshTitle();
    position_.ResetThumb();
    score_->ops->SetKeyCallback(score_, KeyReported);
    score_->ops->SetMeterCallback(score_, MeterReported);
    score_->ops->SetTempoCallback(score_, TempoReported);
    score_->ops->SetMeasureCallback(score_, MeasureReported);
    score_->ops->SetTimeCallback(score_, TimeReported);
    score_->ops->SetNoteCallback(score_, NoteReported);
    transport_.ApplyTempo();
    int measures = score_->ops->GetMeasureCount(score_);
    position_.SetMeasureCount(measures);
    LayoutPages(IsAutoZoom());
    if (scoreView_) {
        scoreView_->SetScrollPos(SIZE{0, 0});
        scoreView_->RemoveAll();
        ScoreRowInfo page;
        page.branch = true;
        page.pageCount = 0;
        page.imageName = L"PNG_FILE_FLAG.png";
        scoreView_->AddNode(page, nullptr);
    }
    // The transport stops now, so that a start queued while the score opened
    // counts in from it; the page and the ruler follow through the queue.
    transport_.Reset();
    PostMessage(WM_SCORE_PLAY_END, kOpenedScoreEnd, 0);
    splash.Hide();
    return true;
}

void CWndMelvane::SetCurrentScorePath(const std::wstring& path) {
    scorePath_ = path;
    RefreshTitle();
}

void CWndMelvane::ShowOpenDialog() {
    std::vector<std::wstring> chosen = AskForScoreFiles(hwnd_, false);
    if (chosen.empty()) return;
    if (OpenScore(chosen.front()) && panel_) panel_->CollapseAllAndUnselect();
}
