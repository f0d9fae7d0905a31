// The skinned dialog's surface: outline from the mask file, the face painted on erase,
// and the drag started from a press on the face.
#include <gtest/gtest.h>

#include "skin_surface.h"
#include "skin_config.h"
#include "skin_test_util.h"

namespace {

const DWORD kWhite = Rgb(255, 255, 255);

// Windows created on this thread while the object lives (a message box would be one).
class WindowCreationCounter {
public:
    WindowCreationCounter() {
        count_ = 0;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~WindowCreationCounter() { UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
        if (code == HCBT_CREATEWND) ++count_;
        return CallNextHookEx(nullptr, code, w, l);
    }
    static int count_;
    HHOOK hook_;
};
int WindowCreationCounter::count_ = 0;

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "skinned", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40,
                                  200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        RECT wr;
        GetWindowRect(window_, &wr);
        POINT origin = {0, 0};
        ClientToScreen(window_, &origin);
        dx_ = origin.x - wr.left;
        dy_ = origin.y - wr.top;
        // Mask: a 60 x 40 block with a white notch at its top-left pixel row.
        mask_ = Pixels(60, 40, 0);
        for (int x = 10; x < 20; ++x) mask_.at(x, 0) = kWhite;
        face_ = Pixels(60, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) face_.at(x, y) = Rgb(x * 4, y * 6, 77);
        WriteBmp(dir_.Path("mask.bmp"), mask_, 24);
        WriteBmp(dir_.Path("face.bmp"), face_, 24);
        ASSERT_TRUE(dir_.Write("skin.ini", "[main]\r\nwindows_mask=" + dir_.Path("mask.bmp") +
                                   "\r\nwindows_name=" + dir_.Path("face.bmp") + "\r\n"));
        ASSERT_TRUE(dir_.Write("bad.ini", "[main]\r\nwindows_mask=" + dir_.Path("none.bmp") + "\r\n"));
        SkinFullPath(dir_.Path("skin.ini").c_str(), skin_);
        SkinFullPath(dir_.Path("bad.ini").c_str(), bad_);
    }
    void TearDown() override { DestroyWindow(window_); }

    // What PaintSkinFace draws for the skin file `skin` on a 200 x 150 picture of
    // (1, 1, 1); its answer in *painted.
    Pixels PaintFace(const char* skin, BOOL* painted = nullptr) {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP target = MakeBitmap(Pixels(200, 150, Rgb(1, 1, 1)));
        HGDIOBJ old = SelectObject(mem, target);
        const BOOL answer = PaintSkinFace(window_, mem, skin);
        if (painted) *painted = answer;
        SelectObject(mem, old);
        Pixels got = ReadBitmap(target);
        DeleteObject(target);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return got;
    }

    HWND window_ = nullptr;
    int dx_ = 0, dy_ = 0;
    Pixels mask_, face_;
    ScratchDir dir_;
    char skin_[SKIN_PATH_SIZE], bad_[SKIN_PATH_SIZE];
};

TEST_F(SurfaceTest, MaskOriginLandsOnTheClientOriginAndTheCaptionIsCut) {
    ASSERT_GT(dy_, 0);
    HRGN applied = ApplySkinRegion(window_, skin_, dx_, dy_);
    ASSERT_NE(applied, nullptr);
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(window_, now), COMPLEXREGION);
    for (int y = -2; y < 42; ++y)
        for (int x = -2; x < 62; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < 60 && y < 40 && mask_.at(x, y) != kWhite;
            ASSERT_EQ(PtInRegion(now, x + dx_, y + dy_) != FALSE, inside) << x << ", " << y;
        }
    EXPECT_FALSE(PtInRegion(now, dx_ + 5, dy_ / 2));  // the caption bar
    DeleteObject(now);
}

TEST_F(SurfaceTest, MissingMaskLeavesTheWindowRectangularWithoutAMessage) {
    WindowCreationCounter created;
    EXPECT_EQ(ApplySkinRegion(window_, bad_, dx_, dy_), nullptr);
    char none[SKIN_PATH_SIZE];
    SkinFullPath(dir_.Path("no-such.ini").c_str(), none);  // the fallback "/" as a file
    EXPECT_EQ(ApplySkinRegion(window_, none, dx_, dy_), nullptr);
    EXPECT_EQ(created.Count(), 0);
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window_, now), ERROR);
    DeleteObject(now);
}

TEST_F(SurfaceTest, FaceIsPaintedAtTheClientOrigin) {
    BOOL painted = FALSE;
    Pixels got = PaintFace(skin_, &painted);
    EXPECT_TRUE(painted);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(got.at(x, y), face_.at(x, y)) << x << ", " << y;
}

TEST_F(SurfaceTest, MissingFaceFillsOneColourAndCountsAsErased) {
    BOOL painted = FALSE;
    Pixels got = PaintFace(bad_, &painted);
    EXPECT_TRUE(painted);
    RECT cr;
    GetClientRect(window_, &cr);
    EXPECT_EQ(got.at(0, 0), got.at(cr.right - 1, cr.bottom - 1));
    EXPECT_NE(got.at(0, 0), Rgb(1, 1, 1));
}

TEST_F(SurfaceTest, PressOnTheFacePostsACaptionPress) {
    PumpMessages();
    StartSkinDrag(window_, MAKELPARAM(17, 23));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, (WPARAM)HTCAPTION);
    EXPECT_EQ(msg.lParam, MAKELPARAM(17, 23));
}

// Relative names in the skin file lead to the skin file's folder, not to the current
// directory, which here holds decoys of the same names: an all-white mask (no outline
// at all) and a one-colour face.
TEST_F(SurfaceTest, RelativeNamesAreFoundBesideTheSkinFileNotInTheCurrentDirectory) {
    ASSERT_TRUE(dir_.Write("rel.ini", "[main]\r\nwindows_mask=mask.bmp\r\nwindows_name=face.bmp\r\n"));
    char rel[SKIN_PATH_SIZE];
    SkinFullPath(dir_.Path("rel.ini").c_str(), rel);
    ScratchDir elsewhere;
    WriteBmp(elsewhere.Path("mask.bmp"), Pixels(60, 40, kWhite), 24);
    WriteBmp(elsewhere.Path("face.bmp"), Pixels(60, 40, Rgb(250, 0, 250)), 24);
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.Dir().c_str()));

    HRGN applied = ApplySkinRegion(window_, rel, dx_, dy_);
    Pixels got = PaintFace(rel);
    SetCurrentDirectoryA(saved);

    ASSERT_NE(applied, nullptr) << "the mask beside the skin file has an outline";
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(window_, now), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(now, dx_ + 12, dy_));  // the white notch of the real mask
    EXPECT_TRUE(PtInRegion(now, dx_ + 30, dy_ + 20));
    DeleteObject(now);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(got.at(x, y), face_.at(x, y)) << x << ", " << y;
}

}  // namespace
