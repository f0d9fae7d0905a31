#include "gate.h"

HMODULE g_module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;  // to find our own directory
    return TRUE;
}
