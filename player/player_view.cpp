// Opening, zoom, pages, panels and the ruler of the player window.
#include "player/wnd_melvane.h"

bool CWndMelvane::OpenScore(const std::wstring&) { return false; }
void CWndMelvane::ShowOpenDialog() {}
void CWndMelvane::ZoomIn() {}
void CWndMelvane::ZoomStep(int) {}
void CWndMelvane::FitWidth() {}
void CWndMelvane::OnZoomComboSelect(int) {}
void CWndMelvane::PageCommand(int command) {
    if (score_) score_->ops->GoToPage(score_, command);
}
void CWndMelvane::TogglePanel(UiKit::CControlUI*) {}
void CWndMelvane::LayoutPanels() {}
void CWndMelvane::EnsureVisible(const RECT&) {}
void CWndMelvane::InitRuler(int) {}
void CWndMelvane::OnRulerMoved() {}
