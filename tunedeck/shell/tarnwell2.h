// CTarnwell2App: the application object of tunedeck.exe. One copy of the program
// runs at a time; the start opens the hidden frame, which opens the main dialog.
#pragma once
#include "app.h"

class CTarnwell2App : public CWinApp {
public:
    // No name of its own: the framework takes string 57344 ("Zyk Velotune").
    CTarnwell2App() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Commands: the framework's own handlers serve ID_APP_EXIT and ID_HELP.
};
