// The main dialog, the keep question and the profile-name dialog on the screen at
// hand: run on the suite's 1280 x 1024 screen and again on 800 x 600 x 16 and
// 640 x 480 x 8 (screen_mode.sh). What the user sees of each lies inside the work
// area; where the main dialog fits at its usual place it stays there.
#include "dialog_fixture.h"

#include <stdio.h>

namespace dlgtest {
namespace {

using namespace dlgdrv;

RECT WorkArea() {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The window's shape on the screen: its region's box, or the whole window.
RECT VisibleShape(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    if (GetWindowRgn(window, region) != ERROR && GetRgnBox(region, &box) != NULLREGION)
        r = RECT{r.left + box.left, r.top + box.top, r.left + box.right, r.top + box.bottom};
    DeleteObject(region);
    return r;
}

::testing::AssertionResult Inside(const RECT& r, const RECT& area) {
    if (r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.left << "," << r.top << ")-(" << r.right << ","
                                         << r.bottom << ") outside the work area (" << area.left << ","
                                         << area.top << ")-(" << area.right << "," << area.bottom << ")";
}

std::string ScreenMode() {
    HDC screen = GetDC(nullptr);
    char mode[40];
    snprintf(mode, sizeof mode, "%dx%dx%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
             GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
    return mode;
}

class DialogScreen : public DialogScenario {};

TEST_F(DialogScreen, TheDialogTheQuestionAndTheNameDialogLieInsideTheWorkArea) {
    const std::string mode = ScreenMode();
    RecordProperty("screen", mode);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    const RECT area = WorkArea();
    RECT window, shape = VisibleShape(dialog);
    GetWindowRect(dialog, &window);
    EXPECT_TRUE(Inside(shape, area)) << mode;

    // The usual place, x = screen width / 2 - 30 and y = 0, is kept wherever the
    // shape fits there; otherwise it touches the edge it would cross.
    const int usualX = GetSystemMetrics(SM_CXSCREEN) / 2 - 30;
    if (usualX + (shape.right - window.left) <= area.right)
        EXPECT_EQ(usualX, window.left) << mode;
    else
        EXPECT_EQ(area.right, shape.right) << mode << ": moved left just enough";
    if (shape.bottom - window.top <= area.bottom)
        EXPECT_EQ(0, window.top) << mode;
    else
        EXPECT_EQ(area.bottom, shape.bottom) << mode << ": moved up just enough";

    // Kept for a look at the face in this mode.
    CreateDirectoryA((e2e::BuildDirectory() + "\\screenshots").c_str(), nullptr);
    Sleep(500);
    e2e::SaveScreenshot(e2e::BuildDirectory() + "\\screenshots\\screen_" + mode + ".bmp");

    Click(dialog, kSaveAs);
    HWND name = WaitBox("Profile");
    ASSERT_TRUE(name);
    RECT r;
    GetWindowRect(name, &r);
    EXPECT_TRUE(Inside(r, area)) << "name dialog, " << mode;
    EXPECT_EQ(dialog, GetWindow(name, GW_OWNER));
    PressButton(name, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));

    MoveSlider(dialog, kSliderEngine, 400);
    Click(dialog, kOk);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    GetWindowRect(question, &r);
    EXPECT_TRUE(Inside(r, area)) << "question, " << mode;
    EXPECT_EQ(dialog, GetWindow(question, GW_OWNER));
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(ClockRegister(360, 360, 12), Register());
}

// 256 colours: the dialog getting the focus back realizes the halftone palette again
// (the program answers TRUE there) and the face repaints with its controls; on a
// display without a palette it says it realized nothing.
TEST_F(DialogScreen, TheFaceRealizesItsPaletteWhenAsked) {
    HDC screen = GetDC(nullptr);
    const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    RecordProperty("rc_palette", palette ? 1 : 0);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(palette ? TRUE : FALSE, SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0)) << ScreenMode();
    // A change made elsewhere is answered without harm, and everything is drawn again.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(0, SendMessageA(dialog, WM_PALETTECHANGED, (WPARAM)other, 0));
    DestroyWindow(other);
    HWND slider = GetDlgItem(dialog, kSliderEngine);
    RECT r;
    EXPECT_TRUE(WaitUntil([&] { return !GetUpdateRect(dialog, &r, FALSE) && !GetUpdateRect(slider, &r, FALSE); }));
}

}  // namespace
}  // namespace dlgtest
