// Drives tunedeck.exe from outside for the main-dialog scenarios: a private copy of
// the shipped folder, the program started there, its windows found by caption and
// control id, and the messages real input produces posted to them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dlgdrv {

// Resource ids of the program (tunedeck/res/resource.h).
enum {
    kSliderEngine = 1000, kSliderMemory = 1001, kSaveAs = 1002, kProfiles = 1008,
    kDelete = 1009, kOk = 1011, kCancel = 1012, kTest = 1013, kNameEdit = 1010
};

// Polls `done` until it holds or `seconds` pass; true when it held.
bool WaitUntil(const std::function<bool()>& done, double seconds = 30);

// The shipped folder (build/dist, beside the test programs' build/bin).
std::string DistFolder();
std::string BinFolder();

// A private copy of the shipped folder under %TEMP%\velotune_e2e\<name>.
struct Folder {
    std::string path;
    explicit Folder(const std::string& name);
    void Remove(const char* file) const;               // a file of the copy
    void Put(const std::string& from, const char* as) const;  // copy a file in
    void Write(const char* file, const std::string& text) const;
    bool Has(const char* file) const;
    std::string Read(const char* file) const;
};

// One run of tunedeck.exe.
class Program {
public:
    // Starts <folder>\tunedeck.exe with the folder as current directory. The system
    // language is the test program's own (LC_ALL=zh_TW.UTF-8 around it gives Chinese).
    explicit Program(const Folder& folder);
    ~Program();  // ends the program if it still runs

    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for the exit; returns the exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitExit(double seconds = 30);
    // Asks the program to end as "Close" does, and waits.
    void Close();
    // Posts a command to the program's hidden frame (32771 opens the dialog again).
    void Command(UINT id) const;

    // A visible top-level window of this process with this caption (and class, when
    // given); null when there is none.
    HWND Find(const std::string& caption, const char* cls = nullptr) const;
    HWND WaitFor(const std::string& caption, const char* cls = nullptr, double seconds = 30) const;
    // Every visible top-level window of the process.
    std::vector<HWND> Windows() const;

private:
    PROCESS_INFORMATION pi_{};
    DWORD pid_ = 0;
};

// A window's caption, a dialog's static text (the message of a message box).
std::string Text(HWND window);
std::string StaticText(HWND dialog);

// Real-input messages.
void Click(HWND dialog, int buttonId);          // press and release inside the button
void PressKey(HWND window, UINT vk);            // WM_KEYDOWN + WM_KEYUP
// Moves a trackbar to `position` the way the keyboard does (one arrow step), so the
// dialog gets its WM_HSCROLL; waits until the control shows the position.
void MoveSlider(HWND dialog, int sliderId, int position);
int SliderPos(HWND dialog, int sliderId);
int SliderMin(HWND dialog, int sliderId);
int SliderMax(HWND dialog, int sliderId);
bool Enabled(HWND dialog, int id);
// Selects entry `index` of the profile list as a user's choice does (CBN_SELCHANGE).
void SelectProfile(HWND dialog, int index);
std::vector<std::string> ProfileEntries(HWND dialog);
int ProfileSelection(HWND dialog);
// Presses button `id` (IDOK, IDCANCEL) of a dialog or message box.
void Answer(HWND box, int id);
// Types `name` into the profile-name dialog and presses OK.
void AnswerName(HWND box, const std::string& name);
// The focus window of the thread that owns `window`, or the window itself.
HWND FocusOf(HWND window);

// Saves the screen as a BMP file.
void Screenshot(const std::string& path);

}  // namespace dlgdrv
