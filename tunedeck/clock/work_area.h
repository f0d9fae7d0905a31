// Keeping the program's windows inside the desktop's work area (the screen less the
// taskbar), for small screens such as 640 x 480 or 800 x 600.
#pragma once
#include <windows.h>

// Where a window meant for (x, y) goes so that the part of it the user sees
// ('visible', in window coordinates: its region's box, or the whole window) lies
// inside 'workArea'. Where it fits it stays; otherwise it moves left and up just
// enough. Larger than the work area, its top-left part stays inside.
POINT FitIntoWorkArea(const RECT& visible, int x, int y, const RECT& workArea);

// The desktop's work area now (the primary monitor's).
RECT DesktopWorkArea();

// The work area of the monitor that holds 'window' (the nearest one when it is on
// none); the desktop's where the system has no monitor functions (95, NT 4.0).
RECT WindowWorkArea(HWND window);

// Where WindowWorkArea takes MonitorFromWindow and GetMonitorInfoA from (null when
// missing): user32 at run time unless set; null sets that back.
typedef FARPROC (*MonitorProcLookup)(const char* name);
void SetMonitorProcLookup(MonitorProcLookup lookup);

// Moves a shown or about-to-be-shown window (as it stands, whole) into the work area
// of its monitor when it is not already inside; keeps its size and z-order.
void KeepWindowInWorkArea(HWND window);
