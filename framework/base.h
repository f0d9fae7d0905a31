// The bottom of the framework: the module whose resources it loads, the common
// controls and window classes. Everything else builds on these; they build on Win32 only.
#pragma once
#include <windows.h>

// The module whose resources the framework loads (dialog templates, menus, strings):
// the program's own module.
HINSTANCE GetResourceHandle();

// Registers the common control classes (trackbar, image lists, ...) once per process.
void EnsureCommonControls();

// Registers (once) and returns the name of a window class with the given class style,
// cursor, background brush and icon; its procedure is DefWindowProcA. The name stays
// valid for the life of the process.
LPCSTR RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                        HICON icon = nullptr);
