// What the main-dialog scenarios add to e2esupport: a private copy of the shipped
// folder to run tunedeck.exe from, and the messages real input produces on the
// dialog's own controls (trackbars, skinned buttons, the profile list, the name box).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "e2esupport.h"

namespace dlgdrv {

// The program's control ids by the scenarios' short names.
enum {
    kSliderEngine = IDC_SLIDER_ENGINE, kSliderMemory = IDC_SLIDER_MEMORY, kSaveAs = IDC_BUTTON_SAVEAS,
    kProfiles = IDC_COMBO_PROFILES, kDelete = IDC_BUTTON_DELETE, kOk = IDC_BUTTON_OK,
    kCancel = IDC_BUTTON_CANCEL, kTest = IDC_BUTTON_TEST, kNameEdit = IDC_EDIT_PROFILE_NAME
};

// The shared helpers the scenarios use by their short names.
using e2e::BinDirectory;
using e2e::FocusOf;
using e2e::PressButton;
using e2e::PressKey;
using e2e::StaticText;
using e2e::Text;
using e2e::WaitUntil;

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

// One run of <folder>\tunedeck.exe with the folder as current directory. The system
// language is the test program's own (LC_ALL=zh_TW.UTF-8 around it gives Chinese).
// At the end the program is asked to close as "Close" does; killed only if it stays.
class Program : public e2e::Program {
public:
    explicit Program(const Folder& folder);
    ~Program();
};

// Real-input messages.
void Click(HWND dialog, int buttonId);          // press and release inside the button
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
// Types `name` into the profile-name dialog and presses OK.
void AnswerName(HWND box, const std::string& name);

}  // namespace dlgdrv
