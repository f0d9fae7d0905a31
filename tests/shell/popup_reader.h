// Reads a popup menu that this thread shows, from inside the menu's own modal loop,
// and closes it again.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenPopup {
    bool seen = false;
    std::vector<UINT> ids;
    std::vector<std::string> texts;
    UINT defaultItem = (UINT)-1; // command of the default entry, -1 for none
    RECT rect = {};              // the popup window, screen coordinates
};

// Runs 'open', which shows a popup menu and returns once it is closed; while the menu
// is open its entries are read and the menu is ended without a choice.
SeenPopup ReadPopupWhileOpen(const std::function<void()>& open);
