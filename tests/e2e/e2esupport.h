// End-to-end support: start tunedeck.exe (from the shipped folder build/dist, or from
// a copy of it), find its windows, menus and message boxes, act as the user's clicks
// and keys would, read its exit code and its instance counter, and keep a screenshot
// when a test fails.
//
// Texts are read and compared as UTF-8 (through the wide window functions), so the
// tests do not depend on their own code page. Timeouts are in seconds.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "resource.h"  // the program's own ids

namespace e2e {

// build/bin, where the test programs run.
std::string BinDirectory();
// build/dist (beside build/bin).
std::string DistDirectory();
// build/ itself: screenshots go to build/screenshots.
std::string BuildDirectory();

std::string Utf8(const std::wstring& wide);
std::wstring Wide(const std::string& utf8);

// The text of a window (caption, or a control's text) as UTF-8.
std::string Text(HWND window);
// Top-level windows of a process, visible or not, optionally of one class.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);
std::string ClassName(HWND window);

// Polls 'done' until it holds or 'seconds' pass; true when it held.
bool WaitUntil(const std::function<bool()>& done, double seconds = 30);

struct StartOptions {
    std::string directory;                  // where the program is; empty: DistDirectory()
    std::string program = "tunedeck.exe";
    std::string currentDirectory;           // empty: DistDirectory()
};

// One run of the program.
class Program {
public:
    explicit Program(const StartOptions& options = StartOptions());
    ~Program();   // kills the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    HANDLE Process() const { return m_process; }

    // True and the exit code when the process ended within the time.
    bool WaitExit(double seconds, int* exitCode);
    bool Running() const;
    void Kill();
    // Posts a command to the hidden frame (ID_OPTION opens the dialog, ID_APP_EXIT ends).
    void Command(UINT id) const;
    // Asks the program to end as "Close" does (an open dialog is cancelled first),
    // and waits for it.
    void Close();

    // The hidden frame: a top-level window with the frame's view (AFX_IDW_PANE_FIRST).
    HWND Frame(double seconds = 15) const;
    // The main dialog: a visible top-level window with the engine slider (id 1000).
    HWND Dialog(double seconds = 15) const;
    std::vector<HWND> Dialogs() const;
    // A message box (#32770 without the main dialog's controls).
    HWND MessageBox(double seconds = 15) const;
    std::vector<HWND> MessageBoxes() const;
    // The open popup menu (#32768) and its menu handle.
    HWND PopupMenu(double seconds = 15) const;
    // A visible top-level window with this caption (and class, when given).
    HWND Find(const std::string& caption, const char* className = nullptr) const;
    HWND WaitFor(const std::string& caption, const char* className = nullptr, double seconds = 30) const;

    // Sends the callback a tray click produces (without waiting for the handler,
    // which may run a modal menu loop).
    void TrayCallback(UINT iconId, UINT mouseMessage) const;

    // The live single-instance counter of the program's shared section.
    bool ReadInstanceCounter(LONG* value) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The first text of a non-icon static of a dialog: the message of a message box,
// the label of a small dialog.
std::string StaticText(HWND dialog);
// Presses a button of a dialog or message box as a click would (BN_CLICKED).
void PressButton(HWND dialog, int id);
// A key pressed and released (WM_KEYDOWN + WM_KEYUP posted to the window's queue).
void PressKey(HWND window, UINT vk);
// The focus window of the thread that owns 'window', or the window itself.
HWND FocusOf(HWND window);

// Entries of a menu. Wine keeps a menu's items in the owning process (an open
// popup's handle is readable through MN_GETHMENU, its items are not), so the entries
// are read from sub-menu 0 of the shipped program's menu resource, and the open popup
// is checked by what choosing an entry does. (Which entry the open popup shows as
// default is checked in-process, by the frame's own test.)
struct MenuEntry {
    UINT id;
    std::string text;
    bool separator;
};
std::vector<MenuEntry> ShippedPopupEntries(UINT menuId);
// Chooses the n-th entry that can be chosen (0 first; separators do not count) with
// the keyboard, as a user would.
void ChooseMenuEntry(HWND popupWindow, int selectable);
// Closes the menu without choosing (Escape).
void DismissMenu(HWND popupWindow);

// The whole screen as a BMP file; false on failure.
bool SaveScreenshot(const std::string& path);

// Installs (once) a gtest listener that keeps a screenshot of each failed test
// under build/screenshots.
void KeepScreenshotsOfFailures();

// The system language reaches a started program only from the environment of the
// Wine process that starts it (an environment block given to CreateProcess does not
// change it), so Chinese scenarios run in a second ctest run of the same program
// under LC_ALL=zh_TW.UTF-8 with "--chinese". Outside that run they skip; that run
// fails unless the system language really is Chinese (Taiwan) and none of its
// scenarios skipped.
void SetChineseRun();
bool ChineseRun();

// The simulated machine: one Zyk card (the default scenario), or no card at all.
void UseDefaultCard();
void UseNoCard();

} // namespace e2e
