// Screenshot of the running main dialog with a moved slider and the profile list
// open: dialog_shots <name> <file.bmp>, in the language of LC_ALL. Used to make the pictures of the README.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "dialog_driver.h"
#include "registry_helpers.h"
#include "simscenario.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    sim::DefaultScenario();
    regtest::DeleteZykTree();
    for (const char* name : {"Benchmark 400", "Quiet 320"})
        regtest::WriteDword((std::string("SOFTWARE\\ZYK\\ZYK_OC\\customer\\") + name).c_str(), "engine", 400);

    dlgdrv::Folder folder(std::string("shots_") + argv[1]);
    dlgdrv::Program program(folder);  // the language comes with LC_ALL
    HWND dialog = program.WaitFor("Zyk Velotune V1.0a", "#32770");
    if (!dialog) return 1;
    dlgdrv::MoveSlider(dialog, dlgdrv::kSliderEngine, 405);
    dlgdrv::MoveSlider(dialog, dlgdrv::kSliderMemory, 330);
    Sleep(500);
    PostMessageA(GetDlgItem(dialog, dlgdrv::kProfiles), CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(1500);
    bool saved = e2e::SaveScreenshot(argv[2]);
    PostMessageA(GetDlgItem(dialog, dlgdrv::kProfiles), CB_SHOWDROPDOWN, FALSE, 0);
    program.Close();
    regtest::DeleteZykTree();
    return saved ? 0 : 1;
}
