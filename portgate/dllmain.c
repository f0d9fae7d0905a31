#include "gate.h"

HMODULE g_module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;  // to find our own directory
    return TRUE;
}

int GateMessageBox(const char* text, const char* caption)
{
    // Owned by whatever window of the caller is active, so that the box stays above it.
    return MessageBoxA(GetActiveWindow(), text, caption, MB_OK);
}
