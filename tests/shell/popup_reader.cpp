// Reading an open popup menu from a timer that ticks inside the menu's loop.
#include "popup_reader.h"

namespace {

SeenPopup g_seen;

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup))
        return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        g_seen.ids.push_back(GetMenuItemID(menu, i));
        g_seen.texts.push_back(text);
    }
    g_seen.defaultItem = GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
    GetWindowRect(popup, &g_seen.rect);
    g_seen.seen = true;
    EndMenu();
}

} // namespace

SeenPopup ReadPopupWhileOpen(const std::function<void()>& open)
{
    g_seen = SeenPopup();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectAndClose);
    open();
    KillTimer(nullptr, timer);
    return g_seen;
}
