// The real plug-in with the real engine in a temporary plug-in folder, a
// library laid out by the test, and the ways a user reaches the library panel:
// clicks on rows, right clicks into the context menus, the name dialog and
// the message boxes.
#pragma once
#include <windows.h>

#include <string>

#include "player/player_probe.h"
#include "tests/library/library_disk.h"
#include "tests/support/test_support.h"

enum class MenuKind { None, Folder, Score };
// Items of the two context menus, from the top.
enum { kMenuAddScores = 0, kMenuRenameFolder = 1, kMenuDeleteFolder = 2 };
enum { kMenuRenameScore = 0, kMenuDeleteScore = 1 };

class PanelRig {
public:
    explicit PanelRig(bool withEngine = true);
    ~PanelRig();
    const std::wstring& Folder() const { return box_.Folder(); }
    std::wstring Music() const { return box_.Folder() + L"music\\"; }
    // A copy of a sample score under music\relative.
    std::wstring PutScore(const std::wstring& relative);
    std::wstring PutFile(const std::wstring& relative, const std::string& bytes);
    void PutFolder(const std::wstring& relative);
    // A score long enough for several pages.
    std::wstring PutLongScore(const std::wstring& relative, int measures);
    void Remember(const std::wstring& dir, const std::wstring& name);
    // The translations the build ships, copied into the plug-in's Language folder.
    void ShipLanguages();

    // Starts the plug-in and waits for the library to be loaded.
    bool Start(int language = 1033);
    // Closes the plug-in; Settings.ini is written by then.
    void Stop();
    void ChangeLanguage(int language);
    HWND Player() const { return player_; }
    DiskSnapshot Disk() const { return Snapshot(box_.Folder() + L"music\\"); }
    std::wstring RememberedScore() const;  // "dir\name" from Settings.ini

    // What the window shows, read through the player's probe message.
    int RowCount() const;   // rows of the library list, hidden ones included
    int ViewRows() const;   // rows of the score view: 0 while no score shows
    std::wstring Title() const;
    std::wstring SearchText() const;
    bool PageJumpPending() const;
    PlayerProbe Probe(const wchar_t* name) const;
    // Any skinned window of the plug-in (the name dialog) answers it as well.
    static PlayerProbe ProbeOf(HWND window, const wchar_t* name);

    // Row i of the library list as the list placed it (hidden ones too).
    struct ListRow {
        bool found = false, visible = false;
        RECT pos = {0, 0, 0, 0};
        int level = -1;
        std::wstring name;
    };
    ListRow Row(int i) const;
    // Rows of the library list, by index from the top (no scrolling).
    POINT RowPoint(int row) const;
    void ClickRow(int row);
    void ClickAt(POINT pt);
    // The menu a right click on a row opens (and closes again); with a shot
    // name the window is saved with the menu open.
    MenuKind MenuOfRow(int row, const wchar_t* shot = nullptr);
    // Right click on the row and choose item (0 based) of its menu.
    bool ChooseFromMenu(int row, int item);
    void ClickPanelButton(const wchar_t* which);  // "add", "folder", "delete", "expand"

    // Windows the panel opens on the UI thread.
    HWND WaitForDialog(DWORD ms = 3000) const;
    HWND WaitForMessageBox(HWND owner, DWORD ms = 3000) const;
    static std::wstring MessageText(HWND box);
    // The text of the message box the player window shows next, answered
    // with OK; "no message" when none comes, "caption: ..." for a box that
    // is not captioned with the window's title.
    std::wstring TakeMessage(DWORD ms = 3000) const;
    static void Answer(HWND box, int id);
    void Type(HWND dialog, const std::wstring& text);
    void ClearField(HWND dialog);
    void DialogOk(HWND dialog);
    void DialogCancel(HWND dialog);
    // The dialog answered: it is gone.
    bool WaitGone(HWND window, DWORD ms = 3000) const;
    void Shot(const wchar_t* name) const;
    // Whether the row shows the selected look (its background differs from
    // the list's own colour next to the text).
    bool RowLooksSelected(int row) const;

    // Opens the row's context menu and leaves it open; null when none came.
    HWND OpenMenuOn(int row);

private:
    testing_support::PluginSandbox box_;
    HWND player_ = nullptr;
};
