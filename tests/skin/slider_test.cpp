// CSkinSlider: construction reads, custom-draw answers, channel, thumb and the shaded
// fill bar, repaint after moves, and paint resources.
#include <gtest/gtest.h>

#include <memory>

#include "control_host.h"
#include "gdi_count.h"
#include "skin_slider.h"
#include "message_box.h"
#include "skin_test_util.h"

namespace {

const DWORD kChannel = Rgb(40, 40, 90);
const DWORD kThumbH = Rgb(200, 190, 180);
const DWORD kThumbV = Rgb(20, 200, 220);
const DWORD kPaper = Rgb(250, 0, 250);

bool IsBarGreen(DWORD v) { return (v & 0xFF00FF) == 0 && (v & 0xFF00) != 0; }

class TestSlider : public CSkinSlider {
public:
    using CSkinSlider::CSkinSlider;
    using CSkinSlider::DrawChannel;
    using CSkinSlider::DrawThumbAndBar;
    const SkinSliderPictures& Pictures() const { return m_pictures; }
    const char* ConfigPath() const { return m_szConfigPath; }
};

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, oldDir_);
        SetCurrentDirectoryA(dir_.Dir().c_str());
        WriteBmp(dir_.Path("ch.bmp"), Pixels(230, 28, kChannel), 24);
        WriteBmp(dir_.Path("th.bmp"), Pixels(13, 22, kThumbH), 24);
        WriteBmp(dir_.Path("tv.bmp"), Pixels(22, 13, kThumbV), 24);
        // Picture names are at most 19 characters: relative to the current directory.
        ASSERT_TRUE(dir_.Write("skin.ini", "[gslider]\r\nthumb_h=th.bmp\r\nthumb_v=tv.bmp\r\nchannel_h=ch.bmp\r\nchannel_v=ch.bmp\r\n"));
        ASSERT_TRUE(dir_.Write("nofiles.ini", "[gslider]\r\nthumb_h=a.bmp\r\nthumb_v=b.bmp\r\nchannel_h=c.bmp\r\nchannel_v=d.bmp\r\n"));
    }

    // Draws the thumb and bar for thumb rectangle T onto paper and returns the picture.
    Pixels DrawBar(TestSlider& s, RECT thumb, int w = 120, int h = 60) {
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP paper = MakeBitmap(Pixels(w, h, kPaper));
        HGDIOBJ old = SelectObject(mem, paper);
        CDC dc(mem);
        s.DrawThumbAndBar(&dc, CRect(thumb));
        SelectObject(mem, old);
        Pixels p = ReadBitmap(paper);
        DeleteObject(paper);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return p;
    }

    // Green of each bar row, or -1 where a row is not one green over [8, right].
    std::vector<int> RowGreens(const Pixels& p, int top, int bottom, int right) {
        std::vector<int> greens;
        for (int y = top; y <= bottom; ++y) {
            const DWORD first = p.at(8, y);
            bool same = IsBarGreen(first) || first == 0;
            for (int x = 8; x <= right; ++x) same = same && p.at(x, y) == first;
            greens.push_back(same ? (int)((first >> 8) & 0xFF) : -1);
        }
        return greens;
    }

    void TearDown() override { SetCurrentDirectoryA(oldDir_); }

    ScratchDir dir_;
    char oldDir_[MAX_PATH];
};

TEST_F(SliderTest, ConstructionReadsTheFourPicturesFromTheFullPath) {
    TestSlider s("nofiles.ini");  // relative: expanded against the current directory
    SetCurrentDirectoryA(oldDir_);
    EXPECT_STREQ(s.ConfigPath(), dir_.Path("nofiles.ini").c_str());
    EXPECT_STREQ(s.Pictures().thumbH, "a.bmp");
    EXPECT_STREQ(s.Pictures().thumbV, "b.bmp");
    EXPECT_STREQ(s.Pictures().channelH, "c.bmp");
    EXPECT_STREQ(s.Pictures().channelV, "d.bmp");
    int code;
    EXPECT_FALSE(TakeQuitRequest(&code));
}

TEST_F(SliderTest, MissingThumbVIsReportedAlthoughNeverDrawn) {
    ASSERT_TRUE(dir_.Write("nov.ini", "[gslider]\r\nthumb_h=th.bmp\r\nchannel_h=ch.bmp\r\nchannel_v=ch.bmp\r\n"));
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxAnswerer answer;
        TestSlider s(dir_.Path("nov.ini").c_str());
        seen = answer.Seen();
        EXPECT_STREQ(s.Pictures().channelV, "ch.bmp");
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "Setting file not found.");
    EXPECT_EQ(seen[0].caption, "error");
    int code = 0;
    ASSERT_TRUE(TakeQuitRequest(&code));
    EXPECT_EQ(code, -1);
}

TEST_F(SliderTest, BarOfHeightSixIsShadedFromBothEdges) {
    TestSlider s(dir_.Path("skin.ini").c_str());
    // T = (50, 0, 61, 19): bar (8, 5) .. (50, 11), height 6.
    Pixels p = DrawBar(s, RECT{50, 0, 61, 19});
    EXPECT_EQ(RowGreens(p, 5, 11, 50), (std::vector<int>{150, 160, 170, 180, 170, 160, 150}));
    EXPECT_EQ(p.at(8, 4), kPaper);
    EXPECT_EQ(p.at(8, 12), kPaper);
    EXPECT_EQ(p.at(7, 8), kPaper);
    EXPECT_EQ(p.at(51, 8), kPaper);  // the bar ends at the thumb's left side, included
    // The thumb picture, unscaled, 3 right of the thumb rectangle, at y = 3.
    EXPECT_EQ(p.at(53, 3), kThumbH);
    EXPECT_EQ(p.at(65, 24), kThumbH);
    EXPECT_EQ(p.at(52, 3), kPaper);
    EXPECT_EQ(p.at(66, 3), kPaper);
    EXPECT_EQ(p.at(53, 25), kPaper);
}

TEST_F(SliderTest, BarOfHeightSevenHasTwoMiddleRows) {
    TestSlider s(dir_.Path("skin.ini").c_str());
    Pixels p = DrawBar(s, RECT{50, 0, 61, 20});
    EXPECT_EQ(RowGreens(p, 5, 12, 50), (std::vector<int>{150, 160, 170, 180, 180, 170, 160, 150}));
}

TEST_F(SliderTest, TallBarWrapsPast255) {
    TestSlider s(dir_.Path("skin.ini").c_str());
    Pixels p = DrawBar(s, RECT{50, 0, 61, 37});  // height 24, half 12
    std::vector<int> g = RowGreens(p, 5, 29, 50);
    EXPECT_EQ(g[10], 250);
    EXPECT_EQ(g[11], (150 + 110) % 256);
    EXPECT_EQ(g[12], (150 + 120) % 256);  // the middle row: dark again
    EXPECT_EQ(g[13], g[11]);
}

TEST_F(SliderTest, NoBarWhileTheThumbIsLeftOfItsStart) {
    TestSlider s(dir_.Path("skin.ini").c_str());
    Pixels p = DrawBar(s, RECT{5, 0, 16, 19});
    for (DWORD v : p.rgb) ASSERT_FALSE(IsBarGreen(v));
    Pixels one = DrawBar(s, RECT{8, 0, 19, 19});  // at x = 8: one column
    EXPECT_TRUE(IsBarGreen(one.at(8, 5)));
    EXPECT_FALSE(IsBarGreen(one.at(9, 5)));
}

TEST_F(SliderTest, WiderThanTallThumbUsesTheVerticalPicture) {
    TestSlider s(dir_.Path("skin.ini").c_str());
    Pixels p = DrawBar(s, RECT{50, 0, 80, 19});
    EXPECT_EQ(p.at(53, 3), kThumbV);
}

TEST_F(SliderTest, UnloadablePicturesStillDrawTheBar) {
    TestSlider s(dir_.Path("nofiles.ini").c_str());
    Pixels p = DrawBar(s, RECT{50, 0, 61, 19});
    EXPECT_EQ(p.at(53, 3), kPaper);
    EXPECT_EQ(RowGreens(p, 5, 11, 50)[3], 180);
}

TEST_F(SliderTest, CustomDrawAnswers) {
    ControlHost host(RGB(0, 0, 0));
    TestSlider s(dir_.Path("skin.ini").c_str());
    s.SubclassWindow(host.AddChild(TRACKBAR_CLASSA, TBS_BOTH | TBS_NOTICKS, 1000, 10, 10, 230, 28));
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP paper = MakeBitmap(Pixels(240, 40, kPaper));
    HGDIOBJ old = SelectObject(mem, paper);
    auto answer = [&](DWORD stage, DWORD_PTR part) {
        NMCUSTOMDRAW cd = {};
        cd.hdr.hwndFrom = s.m_hWnd;
        cd.hdr.idFrom = 1000;
        cd.hdr.code = NM_CUSTOMDRAW;
        cd.dwDrawStage = stage;
        cd.dwItemSpec = part;
        cd.hdc = mem;
        SetRect(&cd.rc, 100, 2, 111, 23);
        LRESULT result = -7;
        EXPECT_TRUE(s.OnChildNotify(WM_NOTIFY, 1000, (LPARAM)&cd, &result));
        return result;
    };
    EXPECT_EQ(answer(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(answer(CDDS_ITEMPREPAINT, TBCD_TICS), CDRF_DODEFAULT);
    EXPECT_EQ(answer(CDDS_ITEMPREPAINT, 7), CDRF_DODEFAULT);
    EXPECT_EQ(answer(CDDS_POSTPAINT, 0), CDRF_DODEFAULT);
    EXPECT_EQ(answer(CDDS_ITEMPREPAINT, TBCD_CHANNEL), CDRF_SKIPDEFAULT);
    EXPECT_EQ(answer(CDDS_ITEMPREPAINT, TBCD_THUMB), CDRF_SKIPDEFAULT);
    SelectObject(mem, old);
    Pixels p = ReadBitmap(paper);
    EXPECT_EQ(p.at(0, 0), kChannel);    // the channel picture covers the control from (0, 0)
    EXPECT_EQ(p.at(229, 27), kChannel);
    EXPECT_EQ(p.at(230, 27), kPaper);   // unscaled
    EXPECT_EQ(p.at(103, 3), kThumbH);   // the thumb at the record's rectangle
    // Another notification is not the slider's.
    NMHDR other = {s.m_hWnd, 1000, (UINT)NM_RELEASEDCAPTURE};
    LRESULT r = 0;
    EXPECT_FALSE(s.OnChildNotify(WM_NOTIFY, 1000, (LPARAM)&other, &r));
    DeleteObject(paper);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

class LiveSliderTest : public SliderTest {
protected:
    void SetUp() override {
        SliderTest::SetUp();
        host_.reset();
        host_.reset(new ControlHost(RGB(0, 0, 0)));
        slider_.reset(new TestSlider(dir_.Path("skin.ini").c_str()));
        slider_->SubclassWindow(host_->AddChild(TRACKBAR_CLASSA, TBS_BOTH | TBS_NOTICKS, 1000, 10, 10, 230, 28));
        slider_->SetRange(0, 100, TRUE);
        slider_->SetPos(80);
        PumpMessages();
    }
    Pixels Shown() {
        PumpMessages();
        return ReadWindow(slider_->m_hWnd);
    }
    std::unique_ptr<ControlHost> host_;
    std::unique_ptr<TestSlider> slider_;
};

TEST_F(LiveSliderTest, TheControlShowsChannelThumbAndBar) {
    CRect t;
    slider_->GetThumbRect(&t);
    ASSERT_GT(t.Height(), t.Width());
    Pixels p = Shown();
    EXPECT_EQ(p.at(1, 1), kChannel);
    EXPECT_EQ(p.at(t.left + 3, 3), kThumbH);
    const int mid = (t.top + 5 + t.bottom - 8) / 2;
    EXPECT_TRUE(IsBarGreen(p.at(8, mid)));
    EXPECT_TRUE(IsBarGreen(p.at(t.left, mid)));
    EXPECT_EQ(p.at(7, mid), kChannel);
}

TEST_F(LiveSliderTest, NoGreenIsLeftAfterTheThumbMovesLeft) {
    CRect before;
    slider_->GetThumbRect(&before);
    Shown();
    // Every way the position changes: the program, the keyboard and the mouse.
    slider_->SetPos(20);
    slider_->SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    slider_->SendMessage(WM_KEYUP, VK_LEFT, 0);
    CRect after;
    slider_->GetThumbRect(&after);
    ASSERT_LT(after.left, before.left - 20);
    Pixels p = Shown();
    for (int y = 0; y < 28; ++y)
        for (int x = after.left + 1; x < 230; ++x)
            ASSERT_FALSE(IsBarGreen(p.at(x, y))) << "green at " << x << ", " << y;
    EXPECT_TRUE(IsBarGreen(p.at(after.left, (after.top + 5 + after.bottom - 8) / 2)));
}

TEST_F(LiveSliderTest, RepaintingStopsOnceTheControlIsDrawn) {
    Shown();
    // A paint must not ask for another one: nothing is left to paint afterwards.
    slider_->SetPos(30);
    PumpMessages();
    EXPECT_FALSE(GetUpdateRect(slider_->m_hWnd, nullptr, FALSE));
}

TEST_F(LiveSliderTest, DisabledLooksTheSame) {
    Pixels enabled = Shown();
    slider_->EnableWindow(FALSE);
    slider_->Invalidate();
    Pixels disabled = Shown();
    EXPECT_EQ(disabled.rgb, enabled.rgb);
}

TEST_F(LiveSliderTest, PaintsLeaveNoGdiObjectsBehind) {
    Shown();
    const int before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 200; ++i) {
        slider_->SetPos(i % 100);
        slider_->UpdateWindow();
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

}  // namespace
