// The tree-style score list: the library panel's list of folders, scores
// and pages (display modes 0 and 1), and the player's page view (mode 2).
// Every row is a CListContainerElementExUI built from "UIItemScoreList.xml";
// its tag points at the ScoreNode it shows.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "abi/score_engine.h"
#include "uikit/controls/list.h"
#include "uikit/controls/list_items.h"
#include "uikit/core/skin_builder.h"

namespace UiKit {
class CUIWindowManager;
}
class CListContainerElementExUI;

// What AddNode needs to know about a row.
struct ScoreRowInfo {
    bool branch = false;       // folder or score
    int pageCount = 0;         // only zero or not matters to the list
    std::wstring imageName;    // only empty or not matters to the list
    std::wstring displayName;
};

struct ScoreNode {
    std::vector<ScoreNode*> children;  // owned, in row order
    ScoreNode* parent = nullptr;       // null only for the root
    int level = -1;                    // folders 0, scores 1, pages 2
    bool branch = false;
    bool expanded = false;
    bool expandable = false;
    std::wstring text;
    CListContainerElementExUI* row = nullptr;  // null for the root
};

enum ScoreListMode { kScoreListMode = 0, kScoreIconMode = 1, kScorePageMode = 2 };

// Timers of the list's own animations.
enum : UINT { kWheelTimerId = 10, kDragTimerId = 11 };

class CScoreListUI : public UiKit::CListUI {
public:
    explicit CScoreListUI(UiKit::CUIWindowManager* manager);
    ~CScoreListUI() override;
    const wchar_t* GetClassName() const override { return L"ScoreListUI"; }
    void* FindInterface(const wchar_t* name) override;

    ScoreNode* AddNode(const ScoreRowInfo& info, ScoreNode* parent);
    bool RemoveNode(ScoreNode* node);
    void SetNodeExpanded(ScoreNode* node, bool expanded);
    ScoreNode* Root() const { return root_; }
    // The node a row shows (through its tag), or null.
    static ScoreNode* NodeOf(UiKit::CControlUI* row);

    bool Add(UiKit::CControlUI* control) override;
    bool AddAt(UiKit::CControlUI* control, int index) override;
    bool Remove(UiKit::CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    bool SelectItem(int index, bool takeFocus = false) override;
    void HandleEvent(UiKit::UIEvent& event) override;

    // Set directly by the owner.
    int displayMode = kScoreListMode;
    int rowWidth = 0, rowHeight = 0, pictureWidth = 0, pictureHeight = 0;
    IScore* score = nullptr;  // not owned
    // Lent by the owner, who keeps the zoom and the count-in: the factor
    // pages and thumbnails are first prepared at (1 when unset), and what is
    // drawn over a painted page.
    std::function<float()> zoom;
    std::function<void(HDC)> paintOverPage;

    void SetScore(IScore* s, int mode) {
        score = s;
        displayMode = mode;
    }
    float Zoom() const { return zoom ? zoom() : 1.0f; }

    // Wheel animation state, readable for the player and tests.
    int WheelSpeed() const { return wheelSpeed_; }
    int WheelStepsLeft() const { return wheelStepsLeft_; }
    int WheelStepsTotal() const { return wheelStepsTotal_; }
    bool IsDragging() const { return dragging_; }

private:
    UiKit::CControlUI* BuildRow();
    static ScoreNode* NewRoot();
    static void DestroyTree(ScoreNode* node);
    static ScoreNode* LastDescendant(ScoreNode* node);
    std::wstring IconMarkup(const ScoreNode* node) const;
    bool RemoveRow(UiKit::CControlUI* row);
    void OnWheelTimer();
    void OnDragTimer();
    // across: the wheel turned with Shift held scrolls sideways.
    void OnWheel(bool up, bool across);
    // Arrow keys move the page view by a line; false for other keys.
    bool OnScrollKey(wchar_t key);
    // Shows the cursor if it was loaded; false when it is missing.
    static bool ShowCursor(HCURSOR cursor);

    UiKit::CUIWindowManager* owner_;
    ScoreNode* root_;
    RECT rowInset_ = {10, 5, 0, 4};
    RECT folderPadding_ = {0, 5, 0, 0};
    int indent_ = 10;
    HCURSOR hoverCursor_ = nullptr;
    HCURSOR dragCursor_ = nullptr;
    bool dragging_ = false;
    POINT dragStart_ = {0, 0};
    POINT dragCurrent_ = {0, 0};
    int wheelSpeed_ = 0, wheelStepsLeft_ = 0, wheelStepsTotal_ = 0;
    bool wheelAcross_ = false;
    UiKit::CSkinBuilder rowBuilder_;
    std::wstring rowMarkup_;  // the row markup text, read once
    bool rowMarkupRead_ = false;
};

class CListContainerElementExUI : public UiKit::CListContainerElementUI {
public:
    const wchar_t* GetClassName() const override { return L"ListContainerElementExUI"; }
    void* FindInterface(const wchar_t* name) override;
    void Paint(HDC hdc, const RECT& paint) override;
    void PaintStatusImage(HDC hdc) override;

    IScore* score = nullptr;  // not owned

private:
    CScoreListUI* OwnerList() const;
    void PaintThumbnail(HDC hdc);
    void PaintPage(HDC hdc, CScoreListUI* list);
    bool DrawSelectedSlice(HDC hdc);
};

class CDialogBuilderCallbackEx : public UiKit::IDialogBuilderCallback {
public:
    explicit CDialogBuilderCallbackEx(UiKit::CUIWindowManager* manager) : manager_(manager) {}
    UiKit::CControlUI* CreateControl(const wchar_t* elementName) override;

private:
    UiKit::CUIWindowManager* manager_;
};
