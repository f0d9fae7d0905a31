// Where the main dialog and the small dialogs go on screens smaller than the dialog's
// usual place allows.
#include <gtest/gtest.h>

#include <string.h>

#include "work_area.h"

namespace {

// The main dialog's visible shape: a 472 x 324 region box at (7, 25) of its window.
const RECT kShape = {7, 25, 479, 349};

POINT Fit(int x, int y, RECT area) { return FitIntoWorkArea(kShape, x, y, area); }

TEST(WorkArea, WhereTheShapeFitsThePlaceIsKept) {
    POINT at = Fit(1280 / 2 - 30, 0, RECT{0, 0, 1280, 994});
    EXPECT_EQ(610, at.x);
    EXPECT_EQ(0, at.y);
    // Exactly touching the right edge still fits.
    at = Fit(1000 - 479, 0, RECT{0, 0, 1000, 600});
    EXPECT_EQ(521, at.x);
}

TEST(WorkArea, TooFarRightOrDownMovesLeftAndUpJustEnough) {
    // 800 x 600 with a 28-pixel taskbar at the bottom: x 370 would end at 849.
    POINT at = Fit(370, 0, RECT{0, 0, 800, 572});
    EXPECT_EQ(800 - 479, at.x);
    EXPECT_EQ(0, at.y);
    at = Fit(0, 300, RECT{0, 0, 800, 572});
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(572 - 349, at.y);
}

TEST(WorkArea, ATaskbarAtTheTopOrLeftPushesItInside) {
    POINT at = Fit(290, 0, RECT{0, 30, 640, 480});
    EXPECT_EQ(640 - 479, at.x);
    EXPECT_EQ(30 - 25, at.y) << "the shape starts at the work area's top";
    at = Fit(0, 0, RECT{60, 0, 1024, 768});
    EXPECT_EQ(60 - 7, at.x);
}

TEST(WorkArea, LargerThanTheWorkAreaKeepsItsTopLeftInside) {
    POINT at = Fit(100, 100, RECT{0, 0, 320, 200});
    EXPECT_EQ(-7, at.x);
    EXPECT_EQ(-25, at.y);
}

// Two monitors played through the lookup: the primary at 0..1024 and a second one to
// its right, 1024..2304, with a taskbar of 40 pixels at its bottom.
namespace twomonitors {

const RECT kPrimaryWork = {0, 0, 1024, 738};
const RECT kSecondWork = {1024, 0, 2304, 984};
const HANDLE kPrimary = reinterpret_cast<HANDLE>(0x101);
const HANDLE kSecond = reinterpret_cast<HANDLE>(0x202);
int g_infoCalls = 0;

struct MonitorInfo {
    DWORD cbSize;
    RECT rcMonitor, rcWork;
    DWORD dwFlags;
};

HANDLE WINAPI FromWindow(HWND window, DWORD flags) {
    EXPECT_EQ(2u, flags) << "the nearest monitor for a window on none";
    RECT r;
    GetWindowRect(window, &r);
    return (r.left + r.right) / 2 >= 1024 ? kSecond : kPrimary;
}

BOOL WINAPI Info(HANDLE monitor, MonitorInfo* info) {
    ++g_infoCalls;
    if (info->cbSize != sizeof(MonitorInfo)) return FALSE;
    info->rcWork = monitor == kSecond ? kSecondWork : kPrimaryWork;
    info->rcMonitor = monitor == kSecond ? RECT{1024, 0, 2304, 1024} : RECT{0, 0, 1024, 768};
    return TRUE;
}

FARPROC Lookup(const char* name) {
    if (strcmp(name, "MonitorFromWindow") == 0) return reinterpret_cast<FARPROC>(&FromWindow);
    if (strcmp(name, "GetMonitorInfoA") == 0) return reinterpret_cast<FARPROC>(&Info);
    return nullptr;
}

// A system of 95 or NT 4.0: no monitor functions in user32.
FARPROC Absent(const char*) { return nullptr; }

// A hidden popup of the question's size at a given place.
struct Popup {
    HWND hwnd;
    Popup(int x, int y) {
        hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, 274, 124, nullptr, nullptr, nullptr, nullptr);
    }
    ~Popup() { DestroyWindow(hwnd); }
    RECT Rect() const {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    }
};

struct Restore {
    ~Restore() { SetMonitorProcLookup(nullptr); }
};

TEST(WorkArea, AWindowOnTheSecondMonitorStaysThere) {
    Restore restore;
    SetMonitorProcLookup(Lookup);
    // Low on the second monitor: moved up above its taskbar, not onto the primary.
    Popup low(1900, 900);
    ASSERT_TRUE(low.hwnd);
    KeepWindowInWorkArea(low.hwnd);
    EXPECT_EQ(1900, low.Rect().left);
    EXPECT_EQ(984 - 124, low.Rect().top);
    EXPECT_EQ(kSecondWork.right, WindowWorkArea(low.hwnd).right);

    // Inside the second monitor already: left where it is.
    Popup inside(1500, 300);
    KeepWindowInWorkArea(inside.hwnd);
    EXPECT_EQ(1500, inside.Rect().left);
    EXPECT_EQ(300, inside.Rect().top);

    // On the primary one, its own work area holds.
    Popup primary(700, 700);
    KeepWindowInWorkArea(primary.hwnd);
    EXPECT_EQ(700, primary.Rect().left);
    EXPECT_EQ(738 - 124, primary.Rect().top);
    EXPECT_GE(g_infoCalls, 3);
}

TEST(WorkArea, WithoutMonitorFunctionsTheDesktopsWorkAreaHolds) {
    Restore restore;
    SetMonitorProcLookup(Absent);
    Popup away(1900, 900);
    const RECT desktop = DesktopWorkArea();
    const RECT area = WindowWorkArea(away.hwnd);
    EXPECT_TRUE(EqualRect(&desktop, &area));
    KeepWindowInWorkArea(away.hwnd);
    EXPECT_EQ(desktop.right - 274, away.Rect().left);
    EXPECT_EQ(desktop.bottom - 124, away.Rect().top);
}

// The real lookup (Wine's user32 has both): one monitor, the desktop's work area.
TEST(WorkArea, TheSystemsOwnLookupFindsTheOneMonitor) {
    SetMonitorProcLookup(nullptr);
    Popup here(10, 10);
    const RECT desktop = DesktopWorkArea();
    const RECT area = WindowWorkArea(here.hwnd);
    EXPECT_TRUE(EqualRect(&desktop, &area));
}

}  // namespace twomonitors

}  // namespace
