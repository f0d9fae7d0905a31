// CSkinButton: composition of the state pictures, the picture shown in each state, the
// mouse state machine and its commands, the end of the hover with and without the
// system's mouse trackers, focus, caption layout and paint resources.
#include <gtest/gtest.h>
#include <string.h>

#include <memory>

#include "control_host.h"
#include "gdi_count.h"
#include "import_patch.h"
#include "skin_button.h"
#include "skin_test_util.h"

namespace {

const int kId = 1011;
// Colours the 16-bit image list keeps exactly (5 bits a channel, low bits replicated).
int V5(int c) { return (c << 3) | (c >> 2); }
DWORD CellColour(int state, int x, int y) { return Rgb(V5(x & 31), V5(y), V5(state * 8 + (x >> 5))); }
const DWORD kSolid[4] = {Rgb(V5(4), V5(25), V5(9)), Rgb(V5(20), V5(5), V5(2)),
                         Rgb(V5(12), V5(12), V5(12)), Rgb(V5(2), V5(30), V5(28))};
const DWORD kMagenta = Rgb(255, 0, 255);
const COLORREF kFace = RGB(40, 80, 120);

class TestButton : public CSkinButton {
public:
    using CSkinButton::ChoosePicture;
    BOOL Pressed() const { return m_bPressed; }
    BOOL Hover() const { return m_bHover; }
    int Index(int state) const {
        const int all[] = {m_nNormal, m_nPressed, m_nDisabled, m_nHover};
        return all[state];
    }
    HIMAGELIST List() const { return m_imageList.GetSafeHandle(); }
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.reset(new ControlHost(kFace));
        other_ = host_->AddChild("EDIT", WS_BORDER, 2000, 200, 150, 60, 20);
    }

    // A button of w x h at (20, 20) bound to a TestButton, with the strip loaded.
    TestButton& Make(const Pixels& strip, int states, int w = 80, int h = 30, DWORD style = 0,
                     const char* caption = "") {
        WriteBmp(dir_.Path("strip.bmp"), strip, 24);
        // The caption is given at creation: setting it later paints the plain button.
        HWND hwnd = host_->AddChild("BUTTON", BS_PUSHBUTTON | style, kId, 20, 20, w, h, caption);
        button_.reset(new TestButton);
        EXPECT_TRUE(button_->SubclassWindow(hwnd));
        EXPECT_TRUE(button_->LoadBitmapStrip(dir_.Path("strip.bmp").c_str(), states, 12, 5, 12, 5));
        button_->SetButtonFlags(1, 0);
        button_->Invalidate();
        button_->UpdateWindow();
        return *button_;
    }

    Pixels Picture(int index, int w, int h) {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP target = MakeBitmap(Pixels(w, h, 0));
        HGDIOBJ old = SelectObject(mem, target);
        ImageList_Draw(button_->List(), index, mem, 0, 0, ILD_NORMAL);
        SelectObject(mem, old);
        Pixels p = ReadBitmap(target);
        DeleteObject(target);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return p;
    }
    DWORD Shown(int x, int y) { return ReadWindow(button_->m_hWnd).at(x, y); }
    LRESULT Mouse(UINT message, int x, int y) {
        return button_->SendMessage(message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    Pixels SolidStrip(int states, int cw = 60, int h = 24) {
        Pixels p(cw * states, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < cw * states; ++x) p.at(x, y) = kSolid[x / cw];
        return p;
    }

    ScratchDir dir_;
    std::unique_ptr<ControlHost> host_;
    std::unique_ptr<TestButton> button_;
    HWND other_ = nullptr;
};

TEST_F(ButtonTest, SubclassingMakesItOwnerDrawn) {
    TestButton& b = Make(SolidStrip(4), 4);
    EXPECT_EQ(b.GetStyle() & 0x0F, (DWORD)BS_OWNERDRAW);
}

TEST_F(ButtonTest, CornersAreExactCopiesOfTheCellCorners) {
    Pixels strip(240, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 240; ++x) strip.at(x, y) = CellColour(x / 60, x % 60, y);
    Make(strip, 4);
    ASSERT_EQ(ImageList_GetImageCount(button_->List()), 4);
    for (int s = 0; s < 4; ++s) {
        Pixels pic = Picture(s, 80, 30);
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 12; ++k) {
                ASSERT_EQ(pic.at(k, j), CellColour(s, k, j)) << "top left " << s;
                ASSERT_EQ(pic.at(68 + k, j), CellColour(s, 48 + k, j)) << "top right " << s;
                ASSERT_EQ(pic.at(68 + k, 25 + j), CellColour(s, 48 + k, 19 + j)) << "bottom right " << s;
                ASSERT_EQ(pic.at(k, 25 + j), CellColour(s, k, 19 + j)) << "bottom left " << s;
            }
    }
}

TEST_F(ButtonTest, ColumnsPastTheLastCellAreIgnored) {
    const DWORD leftover = Rgb(V5(3), V5(31), V5(31));  // no cell has blue 31
    Pixels strip(243, 24, leftover);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 240; ++x) strip.at(x, y) = CellColour(x / 60, x % 60, y);
    Make(strip, 4);
    for (int s = 0; s < 4; ++s) {
        Pixels pic = Picture(s, 80, 30);
        for (DWORD v : pic.rgb) ASSERT_NE(v, leftover);
        EXPECT_EQ(pic.at(79, 0), CellColour(s, 59, 0));
    }
}

TEST_F(ButtonTest, OneStateStripShowsTheNormalPictureAlways) {
    TestButton& b = Make(SolidStrip(1), 1);
    EXPECT_EQ(b.Index(1), -1);
    EXPECT_EQ(b.Index(2), -1);
    EXPECT_EQ(b.Index(3), -1);
    Mouse(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(b.ChoosePicture(), 0);
    Mouse(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(b.ChoosePicture(), 0);
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    Mouse(WM_LBUTTONUP, 5, 5);
    b.EnableWindow(FALSE);
    EXPECT_EQ(b.ChoosePicture(), 0);
}

TEST_F(ButtonTest, ThreeStateStripHoversWithTheNormalPicture) {
    TestButton& b = Make(SolidStrip(3), 3);
    EXPECT_EQ(b.Index(3), -1);
    Mouse(WM_MOUSEMOVE, 5, 5);
    ASSERT_TRUE(b.Hover());
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    b.SendMessage(WM_MOUSELEAVE);
    b.EnableWindow(FALSE);
    EXPECT_EQ(Shown(40, 15), kSolid[2]);
}

TEST_F(ButtonTest, EachStateShowsItsPicture) {
    TestButton& b = Make(SolidStrip(4), 4);
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    Mouse(WM_MOUSEMOVE, 5, 5);  // hover, shown at once
    EXPECT_EQ(Shown(40, 15), kSolid[3]);
    EXPECT_EQ(b.SendMessage(WM_MOUSELEAVE), 1);
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    Mouse(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(Shown(40, 15), kSolid[1]);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    b.EnableWindow(FALSE);
    EXPECT_EQ(Shown(40, 15), kSolid[2]);
    b.EnableWindow(TRUE);
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
}

TEST_F(ButtonTest, PressLeaveReturnReleaseSendsOneCommandAtOnce) {
    TestButton& b = Make(SolidStrip(4), 4);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    ASSERT_EQ(GetCapture(), b.m_hWnd);
    Mouse(WM_MOUSEMOVE, 150, 10);  // out: normal picture, both flags clear
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Hover());
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    Mouse(WM_MOUSEMOVE, 79, 29);  // back in (last pixel): pressed again
    EXPECT_TRUE(b.Pressed());
    EXPECT_EQ(Shown(40, 15), kSolid[1]);
    EXPECT_TRUE(host_->commands.empty());  // never from the press
    Mouse(WM_LBUTTONUP, 30, 10);
    // Delivered before the button-up returned: no message loop ran in between.
    ASSERT_EQ(host_->commands.size(), 1u);
    EXPECT_EQ(host_->commands[0].wParam, MAKEWPARAM(kId, BN_CLICKED));
    EXPECT_EQ(host_->commands[0].lParam, (LPARAM)b.m_hWnd);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(b.Pressed());
    PumpMessages();
    EXPECT_EQ(host_->commands.size(), 1u);
}

TEST_F(ButtonTest, ReleaseOutsideSendsNothing) {
    TestButton& b = Make(SolidStrip(4), 4);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_MOUSEMOVE, -5, 10);
    Mouse(WM_LBUTTONUP, -5, 10);
    EXPECT_TRUE(host_->commands.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(b.Pressed());
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
}

TEST_F(ButtonTest, PressThatStartedElsewhereSendsNothing) {
    Make(SolidStrip(4), 4);
    host_->SetCapture();  // pressed on the dialog's face
    Mouse(WM_MOUSEMOVE, 10, 10);
    Mouse(WM_LBUTTONUP, 10, 10);
    ReleaseCapture();
    EXPECT_TRUE(host_->commands.empty());
}

TEST_F(ButtonTest, DoubleClickSendsTwoCommands) {
    TestButton& b = Make(SolidStrip(4), 4);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_LBUTTONUP, 10, 10);
    Mouse(WM_LBUTTONDBLCLK, 10, 10);
    EXPECT_TRUE(b.Pressed());
    EXPECT_EQ(GetCapture(), b.m_hWnd);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(host_->commands.size(), 2u);
}

TEST_F(ButtonTest, PressingDoesNotTakeTheFocus) {
    Make(SolidStrip(4), 4);
    SetFocus(other_);
    ASSERT_EQ(GetFocus(), other_);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(GetFocus(), other_);
    int clicks = 0;  // the edit box sends its own notifications
    for (const auto& c : host_->commands) clicks += LOWORD(c.wParam) == kId;
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, MagentaShowsTheFaceBehind) {
    Pixels strip = SolidStrip(4);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 240; ++x)
            if (x % 60 < 30) strip.at(x, y) = kMagenta;
    Make(strip, 4);
    EXPECT_EQ(Shown(5, 15), FromColorref(kFace));
    EXPECT_EQ(Shown(75, 15), kSolid[0]);
    Mouse(WM_LBUTTONDOWN, 70, 10);  // the snapshot stays behind every picture
    EXPECT_EQ(Shown(5, 15), FromColorref(kFace));
    EXPECT_EQ(Shown(75, 15), kSolid[1]);
    Mouse(WM_LBUTTONUP, 70, 10);
}

TEST_F(ButtonTest, UnloadableStripDrawsNothing) {
    HWND hwnd = host_->AddChild("BUTTON", BS_PUSHBUTTON, kId, 20, 20, 80, 30);
    button_.reset(new TestButton);
    button_->SubclassWindow(hwnd);
    EXPECT_TRUE(button_->LoadBitmapStrip(dir_.Path("absent.bmp").c_str(), 4, 12, 5, 12, 5));
    EXPECT_EQ(button_->List(), nullptr);
    EXPECT_EQ(button_->Index(0), -1);
    host_->Invalidate();
    host_->UpdateWindow();
    button_->UpdateWindow();
    EXPECT_EQ(Shown(40, 15), FromColorref(kFace));
}

TEST_F(ButtonTest, ButtonFlagsTakeMaskedBits) {
    TestButton& b = Make(SolidStrip(4), 4);
    EXPECT_EQ(b.SetButtonFlags(0x6, 0), 1u);    // mask 0: replaced
    EXPECT_EQ(b.SetButtonFlags(0x1, 0x3), 6u);  // bits 0 and 1 from value, bit 2 kept
    EXPECT_EQ(b.SetButtonFlags(0, 0), 5u);
}

// Where the caption's ink lies: the smallest box around pixels that are not the cell.
RECT InkBox(const Pixels& p, DWORD background) {
    RECT r = {p.width, p.height, -1, -1};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) != background) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x);
                r.bottom = std::max<LONG>(r.bottom, y);
            }
    return r;
}

TEST_F(ButtonTest, CaptionFollowsTheAlignmentStyle) {
    Make(SolidStrip(4, 60, 30), 4, 120, 40, BS_LEFT | BS_TOP, "Go");
    RECT leftTop = InkBox(ReadWindow(button_->m_hWnd), kSolid[0]);
    ASSERT_GE(leftTop.right, 0) << "no caption drawn";
    EXPECT_GE(leftTop.left, 4);
    EXPECT_LE(leftTop.left, 8);
    EXPECT_GE(leftTop.top, 4);
    EXPECT_LE(leftTop.top, 12);
    button_.reset();
    DestroyWindow(GetDlgItem(host_->m_hWnd, kId));

    Make(SolidStrip(4, 60, 30), 4, 120, 40, BS_RIGHT | BS_BOTTOM, "Go");
    RECT rightBottom = InkBox(ReadWindow(button_->m_hWnd), kSolid[0]);
    EXPECT_LE(rightBottom.right, 120 - 4 - 1);
    EXPECT_GE(rightBottom.right, 120 - 12);
    EXPECT_LE(rightBottom.bottom, 40 - 4 - 1);
    button_.reset();
    DestroyWindow(GetDlgItem(host_->m_hWnd, kId));

    Make(SolidStrip(4, 60, 30), 4, 120, 40, 0, "Go");
    RECT centre = InkBox(ReadWindow(button_->m_hWnd), kSolid[0]);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 60, 4);
    EXPECT_NEAR((centre.top + centre.bottom) / 2.0, 20, 4);
}

TEST_F(ButtonTest, DisabledCaptionLooksDisabled) {
    Make(SolidStrip(4, 60, 30), 4, 120, 40, 0, "Go");
    Pixels normal = ReadWindow(button_->m_hWnd);
    button_->EnableWindow(FALSE);
    Pixels disabled = ReadWindow(button_->m_hWnd);
    // Same picture under the text would be kSolid[2]; the ink differs from the normal one.
    const DWORD text = FromColorref(GetSysColor(COLOR_BTNTEXT));
    int normalInk = 0, disabledInk = 0;
    for (DWORD v : normal.rgb) normalInk += v == text;
    for (DWORD v : disabled.rgb) disabledInk += v == text;
    EXPECT_GT(normalInk, 0);
    EXPECT_EQ(disabledInk, 0);
    RECT ink = InkBox(disabled, kSolid[2]);
    EXPECT_GE(ink.right, 0);  // but a caption is there
}

TEST_F(ButtonTest, PaintsLeaveNoGdiObjectsBehind) {
    TestButton& b = Make(SolidStrip(4), 4);
    Mouse(WM_MOUSEMOVE, 5, 5);  // the first paints made the snapshot already
    b.SendMessage(WM_MOUSELEAVE);
    const int before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 150; ++i) {
        Mouse(WM_MOUSEMOVE, 5, 5);
        b.SendMessage(WM_MOUSELEAVE);
        Mouse(WM_LBUTTONDOWN, 5, 5);
        Mouse(WM_LBUTTONUP, 5, 5);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

// The end of the hover where the system has USER32's TrackMouseEvent (98, NT 4.0), only
// COMCTL32's _TrackMouseEvent (95 with Internet Explorer 3), or neither (a bare 95),
// played by answering the button's GetProcAddress.
enum Tracker { kUser32, kComctl32, kNeither };
typedef BOOL(WINAPI* TrackMouseEventFn)(LPTRACKMOUSEEVENT);
typedef FARPROC(WINAPI* GetProcAddressFn)(HMODULE, LPCSTR);
Tracker g_tracker;
GetProcAddressFn g_realGetProcAddress;
TrackMouseEventFn g_realTrackers[2];
int g_trackerCalls[2];

BOOL WINAPI CountedUser32(LPTRACKMOUSEEVENT tme) {
    ++g_trackerCalls[kUser32];
    return g_realTrackers[kUser32](tme);
}
BOOL WINAPI CountedComctl32(LPTRACKMOUSEEVENT tme) {
    ++g_trackerCalls[kComctl32];
    return g_realTrackers[kComctl32](tme);
}

// Each tracker only from its own DLL, and only where the played system has it.
FARPROC WINAPI PlayedGetProcAddress(HMODULE module, LPCSTR name) {
    if (HIWORD(name) && strcmp(name, "TrackMouseEvent") == 0)
        return g_tracker == kUser32 && module == GetModuleHandleA("user32.dll")
                   ? (FARPROC)CountedUser32 : nullptr;
    if (HIWORD(name) && strcmp(name, "_TrackMouseEvent") == 0)
        return g_tracker == kComctl32 && module == GetModuleHandleA("comctl32.dll")
                   ? (FARPROC)CountedComctl32 : nullptr;
    return g_realGetProcAddress(module, name);
}

class HoverTest : public ButtonTest, public ::testing::WithParamInterface<Tracker> {
protected:
    // Pumps messages until the hover is as wanted or `ms` have passed; the hover then.
    BOOL HoverAfter(BOOL wanted, DWORD ms) {
        const DWORD start = GetTickCount();
        while (button_->Hover() != wanted && GetTickCount() - start < ms) {
            PumpMessages();
            Sleep(10);
        }
        return button_->Hover();
    }
};

TEST_P(HoverTest, EndsWhenThePointerLeaves) {
    g_tracker = GetParam();
    g_realTrackers[kUser32] =
        (TrackMouseEventFn)GetProcAddress(GetModuleHandleA("user32.dll"), "TrackMouseEvent");
    g_realTrackers[kComctl32] =
        (TrackMouseEventFn)GetProcAddress(GetModuleHandleA("comctl32.dll"), "_TrackMouseEvent");
    ASSERT_TRUE(g_realTrackers[kUser32] && g_realTrackers[kComctl32]);
    g_trackerCalls[kUser32] = g_trackerCalls[kComctl32] = 0;
    ImportPatch lookup("kernel32.dll", "GetProcAddress", (void*)PlayedGetProcAddress);
    ASSERT_TRUE(lookup.Active());
    g_realGetProcAddress = lookup.Original<GetProcAddressFn>();

    TestButton& b = Make(SolidStrip(4), 4);
    RECT rc;
    b.GetWindowRect(&rc);
    SetCursorPos(rc.left + 40, rc.top + 15);
    Mouse(WM_MOUSEMOVE, 40, 15);
    ASSERT_TRUE(b.Hover());
    EXPECT_EQ(g_trackerCalls[kUser32], g_tracker == kUser32 ? 1 : 0);
    EXPECT_EQ(g_trackerCalls[kComctl32], g_tracker == kComctl32 ? 1 : 0);
    EXPECT_TRUE(HoverAfter(FALSE, 400)) << "ended with the pointer still on the button";
    EXPECT_EQ(Shown(40, 15), kSolid[3]);

    SetCursorPos(rc.right + 60, rc.bottom + 60);
    EXPECT_FALSE(HoverAfter(FALSE, 5000));
    EXPECT_EQ(Shown(40, 15), kSolid[0]);
    SetCursorPos(rc.left + 40, rc.top + 15);  // back in: a hover again, tracked again
    Mouse(WM_MOUSEMOVE, 40, 15);
    EXPECT_TRUE(b.Hover());
    EXPECT_EQ(g_trackerCalls[kUser32] + g_trackerCalls[kComctl32], g_tracker == kNeither ? 0 : 2);
}

std::string TrackerName(const ::testing::TestParamInfo<Tracker>& info) {
    static const char* const names[] = {"User32", "Comctl32", "Neither"};
    return names[info.param];
}
INSTANTIATE_TEST_SUITE_P(Trackers, HoverTest, ::testing::Values(kUser32, kComctl32, kNeither),
                         TrackerName);

}  // namespace
