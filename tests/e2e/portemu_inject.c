/* Loaded into tunedeck.exe before it runs, on the 95-family road of the end-to-end
 * scenarios: the port emulator serves the port instructions portgate executes there. */
#include <windows.h>

#include "portemu.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        portemu_install();
    return TRUE;
}
