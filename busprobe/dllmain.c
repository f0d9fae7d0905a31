#include <windows.h>
#include "trace.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[256];
        DWORD n = GetModuleFileNameA(instance, path, sizeof path);
        path[n < sizeof path ? n : sizeof path - 1] = '\0';
        TraceMessage("PCI_GetModule=<%s>", path);
    }
    return TRUE;
}
