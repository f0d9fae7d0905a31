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

namespace {

// The monitor functions came with Windows 98 and 2000; 95 and NT 4.0 lack them, and
// an import of them would keep the program from loading there.
FARPROC User32Proc(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

MonitorProcLookup g_lookup = User32Proc;

// MONITORINFO, as the 4.0 headers do not declare it.
struct MonitorInfo {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
const DWORD kDefaultToNearest = 2;  // MONITOR_DEFAULTTONEAREST

typedef HANDLE(WINAPI* MonitorFromWindowFn)(HWND, DWORD);
typedef BOOL(WINAPI* GetMonitorInfoFn)(HANDLE, MonitorInfo*);

}  // namespace

void SetMonitorProcLookup(MonitorProcLookup lookup) { g_lookup = lookup ? lookup : User32Proc; }

RECT WindowWorkArea(HWND window) {
    MonitorFromWindowFn fromWindow = reinterpret_cast<MonitorFromWindowFn>(g_lookup("MonitorFromWindow"));
    GetMonitorInfoFn getInfo = reinterpret_cast<GetMonitorInfoFn>(g_lookup("GetMonitorInfoA"));
    if (fromWindow && getInfo) {
        HANDLE monitor = fromWindow(window, kDefaultToNearest);
        MonitorInfo info;
        info.cbSize = sizeof info;
        if (monitor && getInfo(monitor, &info)) return info.rcWork;
    }
    return DesktopWorkArea();
}

void KeepWindowInWorkArea(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    RECT whole = {0, 0, r.right - r.left, r.bottom - r.top};
    POINT at = FitIntoWorkArea(whole, r.left, r.top, WindowWorkArea(window));
    if (at.x != r.left || at.y != r.top)
        SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
