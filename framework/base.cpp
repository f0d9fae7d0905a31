// Resource handle, common controls, window classes.
#include "base.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

HINSTANCE GetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

void EnsureCommonControls()
{
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

LPCSTR RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // Each class is registered once; its name stays here for the returned pointer.
    struct Name { Name* next; char text[96]; };
    static Name* names = nullptr;
    char name[96];
    snprintf(name, sizeof name, "Velotune:%p:%x:%p:%p:%p", (void*)GetResourceHandle(),
             classStyle, (void*)cursor, (void*)background, (void*)icon);
    for (const Name* n = names; n; n = n->next)
        if (strcmp(n->text, name) == 0) return n->text;

    WNDCLASSA wc = {};
    if (!::GetClassInfoA(GetResourceHandle(), name, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = GetResourceHandle();
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc)) return nullptr;
    }
    Name* kept = new Name;
    memcpy(kept->text, name, sizeof name);
    kept->next = names;
    names = kept;
    return kept->text;
}
