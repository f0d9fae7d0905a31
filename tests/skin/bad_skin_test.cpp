// Broken and unusual bitmaps in each role the skin gives a picture: window mask, face,
// button strip, slider channel and thumb. A sound file of any depth or layout shows
// its picture; a broken one gives the fallback of its role (no outline, a plain face,
// a button that draws nothing, a slider without that picture), never a crash, and
// each within a bounded CPU time.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "bmp_corpus.h"
#include "bitmap_file.h"
#include "control_host.h"
#include "cpu_clock.h"
#include "import_patch.h"
#include "mask_region.h"
#include "skin_button.h"
#include "skin_config.h"
#include "skin_slider.h"
#include "skin_surface.h"
#include "skin_test_util.h"

namespace {

using corpus::Expect;

const int W = 40, H = 24;
const DWORD kGrey = Rgb(0x40, 0x40, 0x40);
const double kMaxSecondsEach = 5.0;

// The work's own time, which other programs on the machine do not lengthen.
double Seconds() { return ThreadCpuSeconds(); }

class BadBitmaps : public ::testing::Test {
protected:
    void SetUp() override {
        entries_ = corpus::Bitmaps(W, H);
        for (corpus::Entry& e : corpus::EdgeBitmaps(W, H)) entries_.push_back(e);
        for (const corpus::Entry& e : entries_) ASSERT_TRUE(dir_.Write(e.name + ".bmp", e.bytes));
    }
    std::string Path(const corpus::Entry& e) const { return dir_.Path(e.name + ".bmp"); }

    ScratchDir dir_;
    std::vector<corpus::Entry> entries_;
};

// The check before the system's loader: a file one byte short of what its header
// promises is refused, at every depth and with compression.
TEST_F(BadBitmaps, OnlyWholeFilesReachTheLoader) {
    std::vector<std::string> whole;
    for (int depth : {1, 4, 8, 16, 24, 32}) whole.push_back(corpus::Bmp(33, 7, depth));
    whole.push_back(corpus::RleBmp(33, 7, 8));
    whole.push_back(corpus::RleBmp(33, 7, 4));
    whole.push_back(corpus::Bmp(33, 7, 24, true));
    for (size_t i = 0; i < whole.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(dir_.Write("w.bmp", whole[i]));
        EXPECT_TRUE(BitmapFileIsWhole(dir_.Path("w.bmp").c_str()));
        ASSERT_TRUE(dir_.Write("w.bmp", whole[i].substr(0, whole[i].size() - 1)));
        EXPECT_FALSE(BitmapFileIsWhole(dir_.Path("w.bmp").c_str()));
    }
    EXPECT_FALSE(BitmapFileIsWhole(dir_.Path("missing.bmp").c_str()));
    EXPECT_EQ(nullptr, LoadBitmapFile("/"));
}

// A file past 4 GB whose size below 4 GB is exactly what its header asks for: the
// part past 4 GB is a hole, so the file takes no room on disk.
TEST_F(BadBitmaps, AFileOver4GbIsRefusedWhateverItsHeaderSays) {
    const std::string sound = corpus::Bmp(33, 7, 24);
    const std::string path = dir_.Path("huge.bmp");
    ASSERT_TRUE(dir_.Write("huge.bmp", sound));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LONG high = 1;
    SetFilePointer(file, (LONG)sound.size(), &high, FILE_BEGIN);
    const bool grown = SetEndOfFile(file) != FALSE;
    CloseHandle(file);
    if (!grown) GTEST_SKIP() << "no file past 4 GB here: " << GetLastError();
    EXPECT_FALSE(BitmapFileIsWhole(path.c_str()));
    DeleteFileA(path.c_str());
}

LONG g_loaderCalls = 0;
decltype(&LoadImageA) g_loader = nullptr;
HANDLE WINAPI CountedLoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    ++g_loaderCalls;
    return g_loader(instance, name, type, cx, cy, flags);
}

// What each entry gives at the loader itself: a refused file is never handed to the
// system's loader; every other one is, once, and gives a bitmap of its stated size.
TEST_F(BadBitmaps, RefusedFilesNeverReachTheLoaderAndTheRestGiveTheirSize) {
    ImportPatch counted("user32.dll", "LoadImageA", (void*)CountedLoadImage);
    ASSERT_TRUE(counted.Active());
    g_loader = counted.Original<decltype(&LoadImageA)>();
    for (const corpus::Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        g_loaderCalls = 0;
        HBITMAP bitmap = LoadBitmapFile(Path(e).c_str());
        if (e.expect == Expect::NoPicture) {
            EXPECT_EQ(0, g_loaderCalls);
            EXPECT_EQ(nullptr, bitmap);
            continue;
        }
        EXPECT_EQ(1, g_loaderCalls);
        BITMAP info = {};
        ASSERT_TRUE(bitmap && GetObjectA(bitmap, sizeof info, &info));
        EXPECT_EQ(W, info.bmWidth);
        EXPECT_EQ(H, info.bmHeight);
        DeleteObject(bitmap);
    }
}

TEST_F(BadBitmaps, MaskGivesTheOutlineOrNone) {
    HRGN inner = CreateRectRgn(1, 1, W - 1, H - 1);
    for (const corpus::Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        const double t0 = Seconds();
        HBITMAP mask = LoadBitmapFile(Path(e).c_str());
        HRGN region = RegionFromMaskBitmap(mask, SKIN_MASK_KEY, SKIN_MASK_TOLERANCE);
        EXPECT_LT(Seconds() - t0, kMaxSecondsEach);
        if (e.expect == Expect::Picture) {
            ASSERT_NE(nullptr, region);
            EXPECT_TRUE(EqualRgn(region, inner)) << "exactly the white border is cut away";
        } else if (e.expect == Expect::NoPicture) {
            EXPECT_EQ(nullptr, mask);
            EXPECT_EQ(nullptr, region);
        } else {
            EXPECT_NE(nullptr, mask);
        }
        if (region) DeleteObject(region);
        if (mask) DeleteObject(mask);
    }
    DeleteObject(inner);
}

TEST_F(BadBitmaps, FaceIsPaintedOrThePlainFillShows) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, W, H, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    const DWORD fill = Rgb(32, 34, 38);
    for (const corpus::Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(dir_.Write("face.ini", "[main]\r\nwindows_name=" + Path(e) + "\r\n"));
        char ini[SKIN_PATH_SIZE];
        SkinFullPath(dir_.Path("face.ini").c_str(), ini);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP paper = MakeBitmap(Pixels(W, H, Rgb(1, 2, 3)));
        HGDIOBJ old = SelectObject(mem, paper);
        const double t0 = Seconds();
        EXPECT_TRUE(PaintSkinFace(window, mem, ini));
        EXPECT_LT(Seconds() - t0, kMaxSecondsEach);
        SelectObject(mem, old);
        Pixels p = ReadBitmap(paper);
        if (e.expect == Expect::Picture) {
            EXPECT_EQ(Rgb(255, 255, 255), p.at(0, 0));
            // 5-bit channels come back as 0x42 rather than 0x40.
            EXPECT_NEAR(0x40, (int)(p.at(W / 2, H / 2) & 0xFF), 2);
            EXPECT_NEAR(0x40, (int)(p.at(1, 1) >> 16), 2) << "the picture's top row is on top";
        } else if (e.expect == Expect::NoPicture) {
            EXPECT_EQ(fill, p.at(W / 2, H / 2));
        } else {
            EXPECT_NE(fill, p.at(W / 2, H / 2)) << "the loaded bitmap covers the fill";
        }
        DeleteObject(paper);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }
    DestroyWindow(window);
}

class StripButton : public CSkinButton {
public:
    int Pictures() const {
        HIMAGELIST list = m_imageList.GetSafeHandle();
        return list ? ImageList_GetImageCount(list) : 0;
    }
};

TEST_F(BadBitmaps, ButtonComposesItsPicturesOrDrawsNothing) {
    for (const corpus::Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        ControlHost host(RGB(9, 9, 9));
        StripButton button;
        button.SubclassWindow(host.AddChild("BUTTON", BS_PUSHBUTTON, 1011, 4, 4, 100, 34));
        const double t0 = Seconds();
        // One picture stands for all four states of a 4-state strip.
        button.LoadBitmapStrip(Path(e).c_str(), 1, 12, 5, 12, 5);
        button.ShowWindow(SW_SHOW);
        button.Invalidate(TRUE);
        PumpMessages();
        EXPECT_LT(Seconds() - t0, kMaxSecondsEach);
        EXPECT_EQ(e.expect == Expect::NoPicture ? 0 : 1, button.Pictures());
    }
}

class PictureSlider : public CSkinSlider {
public:
    using CSkinSlider::CSkinSlider;
};

TEST_F(BadBitmaps, SliderPaintsWithoutTheBrokenPictureAndKeepsItsBar) {
    char oldDir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, oldDir);
    SetCurrentDirectoryA(dir_.Dir().c_str());
    for (const corpus::Entry& e : entries_) {
        SCOPED_TRACE(e.name);
        // Picture names of at most 19 characters: copies under short names.
        ASSERT_TRUE(CopyFileA(Path(e).c_str(), dir_.Path("p.bmp").c_str(), FALSE));
        ASSERT_TRUE(dir_.Write("s.ini", "[gslider]\r\nthumb_h=p.bmp\r\nthumb_v=p.bmp\r\nchannel_h=p.bmp\r\nchannel_v=p.bmp\r\n"));
        ControlHost host(RGB(9, 9, 9), 320, 80);
        PictureSlider slider(dir_.Path("s.ini").c_str());
        slider.SubclassWindow(host.AddChild(TRACKBAR_CLASSA, TBS_BOTH | TBS_NOTICKS, 1000, 10, 10, 230, 28));
        slider.SetRange(0, 100, TRUE);
        slider.SetPos(70);
        host.ShowWindow(SW_SHOW);
        slider.ShowWindow(SW_SHOW);
        const double t0 = Seconds();
        slider.UpdateWindow();
        PumpMessages();
        EXPECT_LT(Seconds() - t0, kMaxSecondsEach);
        Pixels shown = ReadWindow(slider.m_hWnd);
        CRect thumb;
        slider.GetThumbRect(&thumb);
        bool green = false;
        for (int x = 8; x < thumb.left; ++x) {
            const DWORD v = shown.at(x, thumb.top + thumb.Height() / 2);
            green = green || ((v & 0xFF00FF) == 0 && (v & 0xFF00) != 0);
        }
        EXPECT_TRUE(green) << "the fill bar is drawn whatever the pictures";
    }
    SetCurrentDirectoryA(oldDir);
}

}  // namespace
