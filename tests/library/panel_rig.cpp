#include "tests/library/panel_rig.h"

#include <windows.h>

#include "player/player_probe.h"
#include "tests/support/screen_pixels.h"

using namespace testing_support;

namespace {
// Library list of the 879x600 player window: the panel starts below the title
// bar and tool bar; its search row and title row come first.
const int kListLeft = 2;
const int kListTop = 138;
const int kRowHeight = 25;
// Dialog buttons of the 300x150 name dialog.
const POINT kDialogOk = {97, 114};
const POINT kDialogCancel = {203, 114};
const POINT kDialogField = {150, 71};
const int kMenuItemsTop = 12, kMenuItemHeight = 20;

std::wstring Sample() { return BinFolder() + L"music\\Beginner\\Ode to Joy.zyqn"; }

void MakeFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
}

// The first shown window of the class, owned by owner (any owner for null).
HWND FindOwnedWindow(HWND owner, const wchar_t* cls) {
    for (HWND w : OwnWindows(cls))
        if (IsWindowVisible(w) && (!owner || GetWindow(w, GW_OWNER) == owner)) return w;
    return nullptr;
}
}  // namespace

PanelRig::PanelRig(bool withEngine) : box_(withEngine ? L"ScoreDll.dll" : L"") { CreateDirectoryW(Music().c_str(), nullptr); }
PanelRig::~PanelRig() { Stop(); }

std::wstring PanelRig::PutScore(const std::wstring& relative) {
    std::wstring path = Music() + relative;
    MakeFolders(path);
    CopyFileW(Sample().c_str(), path.c_str(), FALSE);
    return path;
}

std::wstring PanelRig::PutFile(const std::wstring& relative, const std::string& bytes) {
    std::wstring path = Music() + relative;
    MakeFolders(path);
    WriteFileBytes(path, bytes);
    return path;
}

std::wstring PanelRig::PutLongScore(const std::wstring& relative, int measures) {
    std::string text = "zyqn 1\ntitle: Long Etude\ncomposer: Nobody\nkey: G\nmeter: 4/4\ntempo: 120\n";
    for (int m = 0; m < measures; m += 4) {
        text += "R: | 1 2 3 4 | 5 6 7 1' | 3 3 4 5 | 5 4 3 2 |\n";
        text += "L: | 1, - 5,, - | 1, - 5, - | 1, 3, 5, 3, | 1, - - - |\n";
    }
    return PutFile(relative, text);
}

void PanelRig::PutFolder(const std::wstring& relative) { MakeFolders(Music() + relative + L"\\"); }

void PanelRig::Remember(const std::wstring& dir, const std::wstring& name) {
    std::wstring ini = box_.Folder() + L"Settings.ini";
    WritePrivateProfileStringW(L"General Settings", L"ScoreDir", dir.c_str(), ini.c_str());
    WritePrivateProfileStringW(L"General Settings", L"ScoreName", name.c_str(), ini.c_str());
}

std::wstring PanelRig::RememberedScore() const {
    std::wstring ini = box_.Folder() + L"Settings.ini";
    wchar_t dir[512] = {}, name[512] = {};
    GetPrivateProfileStringW(L"General Settings", L"ScoreDir", L"", dir, 512, ini.c_str());
    GetPrivateProfileStringW(L"General Settings", L"ScoreName", L"", name, 512, ini.c_str());
    return std::wstring(dir) + L"\\" + name;
}

bool PanelRig::Start(int language) {
    if (!box_.Start(language)) return false;
    player_ = box_.PlayerWindow();
    // Some checks read the screen; other tests' windows must not cover it.
    SetWindowPos(player_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Timer 1 loads the library 120 ms after the window shows.
    PumpFor(900);
    return player_ != nullptr;
}

void PanelRig::ShipLanguages() {
    const std::wstring from = BinFolder() + L"Language\\", to = box_.Folder() + L"Language\\";
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((from + L"*.ini").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        // English is written by the plug-in itself, never shipped.
        if (_wcsicmp(fd.cFileName, L"English.ini") != 0)
            CopyFileW((from + fd.cFileName).c_str(), (to + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

void PanelRig::ChangeLanguage(int language) {
    box_.Client().Lang(language);
    PumpFor(200);
}

void PanelRig::Stop() {
    box_.Stop();
    player_ = nullptr;
}

POINT PanelRig::RowPoint(int row) const { return POINT{kListLeft + 60, kListTop + row * kRowHeight + kRowHeight / 2}; }

void PanelRig::ClickAt(POINT pt) {
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    PostMessageW(player_, WM_MOUSEMOVE, 0, lp);
    PostMessageW(player_, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(player_, WM_LBUTTONUP, 0, lp);
    PumpFor(150);
}

void PanelRig::ClickRow(int row) { ClickAt(RowPoint(row)); }

// A right click as the window sees it, handled before this returns: the
// menu, if the row has one, exists afterwards.
static void RightClick(HWND wnd, POINT pt) {
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    SendMessageW(wnd, WM_MOUSEMOVE, 0, lp);
    SendMessageW(wnd, WM_RBUTTONDOWN, MK_RBUTTON, lp);
    SendMessageW(wnd, WM_RBUTTONUP, 0, lp);
}

// The menu a right click on row opened, once it has settled: under Xvfb the
// focus moves asynchronously, and a menu that loses it closes at once, as it
// would for a user who clicked elsewhere. Such a click is simply repeated.
HWND PanelRig::OpenMenuOn(int row) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RightClick(player_, RowPoint(row));
        HWND menu = nullptr;
        PumpUntil([&] { return (menu = FindOwnedWindow(nullptr, L"MenuWnd")) != nullptr; }, 400);
        if (!menu) continue;
        PumpFor(150);
        if (IsWindow(menu) && IsWindowVisible(menu)) return menu;
        PumpUntil([&] { return !IsWindow(menu); }, 1000);
    }
    return nullptr;
}

MenuKind PanelRig::MenuOfRow(int row, const wchar_t* shot) {
    if (row >= RowCount()) return MenuKind::None;
    HWND menu = OpenMenuOn(row);
    if (!menu) return MenuKind::None;
    if (shot) Shot(shot);
    RECT rc;
    GetWindowRect(menu, &rc);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpUntil([&] { return !IsWindow(menu); }, 2000);
    // Three items (folder menu) or two (score menu), 20 pixels each, with
    // 12 pixels above and below.
    int height = rc.bottom - rc.top;
    return height == 84 ? MenuKind::Folder : height == 64 ? MenuKind::Score : MenuKind::None;
}

bool PanelRig::ChooseFromMenu(int row, int item) {
    HWND menu = OpenMenuOn(row);
    if (!menu) return false;
    LPARAM lp = MAKELPARAM(30, kMenuItemsTop + item * kMenuItemHeight + kMenuItemHeight / 2);
    PostMessageW(menu, WM_MOUSEMOVE, 0, lp);
    PostMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(menu, WM_LBUTTONUP, 0, lp);
    return PumpUntil([&] { return !IsWindow(menu); }, 2000);
}

void PanelRig::ClickPanelButton(const wchar_t* which) {
    // The bottom row of the panel, 36 pixels high, above the play display.
    const int bottomY = 470;
    if (wcscmp(which, L"delete") == 0) ClickAt(POINT{38, bottomY});
    else if (wcscmp(which, L"folder") == 0) ClickAt(POINT{103, bottomY});
    else if (wcscmp(which, L"add") == 0) ClickAt(POINT{168, bottomY});
    else if (wcscmp(which, L"expand") == 0) ClickAt(POINT{169, 120});
}

HWND PanelRig::WaitForDialog(DWORD ms) const {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindOwnedWindow(player_, L"CWndModifyScoreDir")) != nullptr; }, ms);
    if (found) PumpFor(150);  // its window-init (texts, initial name) follows the first paint
    return found;
}

HWND PanelRig::WaitForMessageBox(HWND owner, DWORD ms) const {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindOwnedWindow(owner, L"#32770")) != nullptr; }, ms);
    return found;
}

std::wstring PanelRig::MessageText(HWND box) {
    wchar_t text[512] = {};
    // The text of a message box is its static control 0xFFFF.
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

std::wstring PanelRig::TakeMessage(DWORD ms) const {
    HWND box = WaitForMessageBox(player_, ms);
    if (!box) return L"no message";
    wchar_t caption[128] = {};
    GetWindowTextW(box, caption, 128);
    std::wstring text = MessageText(box);
    Answer(box, IDOK);
    WaitGone(box);
    PumpFor(100);
    return wcscmp(caption, L"Melvane") == 0 ? text : L"caption: " + std::wstring(caption);
}

void PanelRig::Answer(HWND box, int id) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

static void ClickIn(HWND wnd, POINT pt) {
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, lp);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(wnd, WM_LBUTTONUP, 0, lp);
}

void PanelRig::Type(HWND dialog, const std::wstring& text) {
    ClickIn(dialog, kDialogField);
    PumpFor(50);
    for (wchar_t c : text) PostMessageW(dialog, WM_CHAR, c, 1);
    PumpFor(100);
}

void PanelRig::ClearField(HWND dialog) {
    ClickIn(dialog, kDialogField);
    PostMessageW(dialog, WM_KEYDOWN, VK_END, 1);
    for (int i = 0; i < 64; ++i) {
        PostMessageW(dialog, WM_KEYDOWN, VK_BACK, 1);
        PostMessageW(dialog, WM_KEYUP, VK_BACK, 0xC0000001);
    }
    PumpFor(100);
}

void PanelRig::DialogOk(HWND dialog) { ClickIn(dialog, kDialogOk); }
void PanelRig::DialogCancel(HWND dialog) { ClickIn(dialog, kDialogCancel); }

bool PanelRig::WaitGone(HWND window, DWORD ms) const {
    return PumpUntil([&] { return !IsWindow(window); }, ms);
}

void PanelRig::Shot(const wchar_t* name) const { SaveWindowShot(player_, name); }

PanelRig::ListRow PanelRig::Row(int i) const {
    PlayerProbe p = Probe((L"#ROW:" + std::to_wstring(i)).c_str());
    ListRow row;
    row.found = p.found != 0;
    row.visible = p.visible != 0;
    row.pos = p.pos;
    row.level = p.value;
    // The title markup ends in the name, after the icon and indent tags.
    const std::wstring title = p.text;
    row.name = title.substr(title.find_last_of(L'>') + 1);
    return row;
}

int PanelRig::RowCount() const { return Probe(L"ID_SCORE_LIST_SHOW").value; }
int PanelRig::ViewRows() const { return Probe(L"ID_SCORE_VIEW").value; }
std::wstring PanelRig::Title() const { return Probe(L"ID_WND_MELVANE_TITLE").text; }
std::wstring PanelRig::SearchText() const { return Probe(L"ID_EDIT_SEARCH").text; }
bool PanelRig::PageJumpPending() const { return Probe(L"#STOPPED").enabled != 0; }

PlayerProbe PanelRig::Probe(const wchar_t* name) const { return ProbeOf(player_, name); }

PlayerProbe PanelRig::ProbeOf(HWND window, const wchar_t* name) {
    static const UINT message = RegisterWindowMessageW(MELVANE_PROBE_MESSAGE_NAME);
    PlayerProbe probe = {};
    SendMessageW(window, message, reinterpret_cast<WPARAM>(name), reinterpret_cast<LPARAM>(&probe));
    return probe;
}

bool PanelRig::RowLooksSelected(int row) const {
    // Away from the rows, so that no row is hot.
    SendMessageW(player_, WM_MOUSEMOVE, 0, MAKELPARAM(500, 300));
    RedrawWindow(player_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    // An unselected row shows the list's background at its left edge, like
    // the empty list below the rows; the selected look covers it.
    COLORREF empty = ScreenPixel(player_, kListLeft + 10, 430);
    COLORREF c = ScreenPixel(player_, kListLeft + 10, RowPoint(row).y);
    return !ColourNear(c, empty, 6);
}
