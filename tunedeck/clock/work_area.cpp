#include "work_area.h"

POINT FitIntoWorkArea(const RECT& visible, int x, int y, const RECT& workArea) {
    POINT at = {x, y};
    if (at.x + visible.right > workArea.right) at.x = workArea.right - visible.right;
    if (at.y + visible.bottom > workArea.bottom) at.y = workArea.bottom - visible.bottom;
    // Still sticking out at the left or top: too large, or a taskbar there.
    if (at.x + visible.left < workArea.left) at.x = workArea.left - visible.left;
    if (at.y + visible.top < workArea.top) at.y = workArea.top - visible.top;
    return at;
}

RECT DesktopWorkArea() {
    RECT area;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return area;
}

void KeepWindowInWorkArea(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    RECT whole = {0, 0, r.right - r.left, r.bottom - r.top};
    POINT at = FitIntoWorkArea(whole, r.left, r.top, DesktopWorkArea());
    if (at.x != r.left || at.y != r.top)
        SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
