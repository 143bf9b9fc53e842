// Rows of the score list: plain rows paint their children over a state
// background; in icon view a page row paints its thumbnail and in the page
// view the score row paints the whole page, both through the engine.
#include <cwchar>

#include "scoreview/score_list_ui.h"
#include "uikit/core/scrollbar.h"

using namespace UiKit;

namespace {
const wchar_t kSliceFolder[] =
    L"file='PNG_LIST_ITEM_SELECTED_1.png' source='187,0,374,187' corner='20,10,20,10' hole='false'";
const wchar_t kSliceScore[] =
    L"file='PNG_LIST_ITEM_SELECTED_1.png' source='374,0,554,25' corner='20,10,20,10' hole='false'";
const wchar_t kSlicePage[] =
    L"file='PNG_LIST_ITEM_SELECTED_1.png' source='554,0,734,25' corner='20,10,20,10' hole='false'";
// The thumbnails are drawn this wide whatever the page size.
const float kThumbnailWidth = 167.0f;
}  // namespace

void* CListContainerElementExUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListContainerElementEx") == 0) return this;
    return CListContainerElementUI::FindInterface(name);
}

CScoreListUI* CListContainerElementExUI::OwnerList() const {
    // Rows live in the list's body, whose parent is the list.
    CControlUI* body = GetParent();
    CControlUI* list = body ? body->GetParent() : nullptr;
    return list ? static_cast<CScoreListUI*>(list->FindInterface(L"ScoreList")) : nullptr;
}

void CListContainerElementExUI::Paint(HDC hdc, const RECT& paint) {
    RECT clip;
    if (!IntersectRect(&clip, &paint, &rcItem_)) return;
    CScoreListUI* list = OwnerList();
    ScoreNode* node = CScoreListUI::NodeOf(this);
    if (score && list && node) {
        if (list->displayMode == kScoreIconMode && !node->branch) {
            paintRect_ = clip;
            PaintThumbnail(hdc);
            return;
        }
        if (list->displayMode == kScorePageMode && node->branch) {
            paintRect_ = clip;
            PaintPage(hdc, list);
            return;
        }
    }
    CListContainerElementUI::Paint(hdc, paint);
}

void CListContainerElementExUI::PaintThumbnail(HDC hdc) {
    CScoreListUI* list = OwnerList();
    int saved = SaveDC(hdc);
    POINT origin = {0, 0};
    score->ops->Prepare(score, hdc, SCORE_MODE_THUMBNAIL, list ? list->Zoom() : 1.0f, &origin);
    SIZE page = {0, 0};
    score->ops->GetPageSize(score, &page);
    if (page.cx > 0) {
        SIZE scroll = list ? list->GetScrollPos() : SIZE{0, 0};
        origin = POINT{-scroll.cx, -scroll.cy};
        score->ops->Prepare(score, hdc, SCORE_MODE_THUMBNAIL, kThumbnailWidth / page.cx, &origin);
        RECT target = rcItem_;
        score->ops->Draw(score, hdc, SCORE_MODE_THUMBNAIL, &target, SCORE_DRAW_THUMBNAIL);
    }
    RestoreDC(hdc, saved);
}

void CListContainerElementExUI::PaintPage(HDC hdc, CScoreListUI* list) {
    int saved = SaveDC(hdc);
    // A note's highlight repaints a few boxes; the engine copies only what the clip lets through.
    IntersectClipRect(hdc, paintRect_.left, paintRect_.top, paintRect_.right, paintRect_.bottom);
    POINT origin = {0, 0};
    score->ops->Prepare(score, hdc, SCORE_MODE_PAGE, list->Zoom(), &origin);
    SIZE scroll = list->GetScrollPos();
    origin = POINT{-scroll.cx, -scroll.cy};
    SIZE page = {0, 0};
    score->ops->GetPageSize(score, &page);
    RECT view = list->GetPosition();
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    if (bar && bar->IsVisible()) view.right -= bar->GetFixedWidth();
    int freeWidth = (view.right - view.left) - page.cx;
    int freeHeight = (view.bottom - view.top) - page.cy;
    // A page smaller than the view sits in its middle.
    if (freeWidth > 0) origin.x += freeWidth / 2;
    if (freeHeight > 0) origin.y += freeHeight / 2;
    score->ops->Prepare(score, hdc, SCORE_MODE_PAGE, list->Zoom(), &origin);
    score->ops->Draw(score, hdc, SCORE_MODE_PAGE, &view, SCORE_DRAW_PAGE);
    RestoreDC(hdc, saved);
    if (list->paintOverPage) list->paintOverPage(hdc);
}

bool CListContainerElementExUI::DrawSelectedSlice(HDC hdc) {
    ScoreNode* node = CScoreListUI::NodeOf(this);
    if (!node || !node->parent) return false;
    if (!node->parent->parent) return DrawImage(hdc, kSliceFolder);
    // Score and page slices keep 3 pixels clear on either side.
    wchar_t dest[64];
    swprintf(dest, 64, L"dest='%ld,%ld,%ld,%ld'", paintRect_.left - rcItem_.left + 3, paintRect_.top - rcItem_.top,
             paintRect_.right - rcItem_.left - 3, paintRect_.bottom - rcItem_.top);
    return DrawImage(hdc, node->branch ? kSliceScore : kSlicePage, dest);
}

void CListContainerElementExUI::PaintStatusImage(HDC hdc) {
    if (!owner_) return;
    const UIListInfo* info = owner_->GetListInfo();
    if (!IsEnabled() && !info->disabledImage.empty() && DrawImage(hdc, info->disabledImage)) return;
    if (selected_ || hot_) {
        const CUIString& state = selected_ ? info->selectedImage : info->hotImage;
        bool drew = !state.empty() && DrawImage(hdc, state);
        // Without the slice image the base look (state colour) shows.
        if (DrawSelectedSlice(hdc) || drew) return;
    }
    DrawListItemBackground(this, hdc, owner_, index_, selected_, hot_);
}
