/* The entry point of a DLL: the static constructors before DllMain sees the process
 * attach, and the atexit handlers after DllMain has seen the process detach. */
#include <windows.h>
#include "runtime.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    BOOL result;
    if (reason == DLL_PROCESS_ATTACH) RuntimeRunConstructors();
    result = DllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_DETACH || (reason == DLL_PROCESS_ATTACH && !result))
        RuntimeRunExitHandlers();
    return result;
}
