// RegionFromMaskBitmap: the region is exactly the set of non-key pixels, built from one
// rectangle per run and row, handed to the system in pieces of at most 2000.
#include <gtest/gtest.h>

#include <random>

#include "import_patch.h"
#include "mask_region.h"
#include "skin_test_util.h"

namespace {

const DWORD kWhite = Rgb(255, 255, 255);

// What ExtCreateRegion was given, piece by piece.
struct Piece {
    DWORD bytes;
    std::vector<RECT> rects;
    RECT bound;
};
std::vector<Piece> g_pieces;
using ExtCreateRegionFn = HRGN(WINAPI*)(const XFORM*, DWORD, const RGNDATA*);
ExtCreateRegionFn g_realExtCreateRegion;

HRGN WINAPI RecordingExtCreateRegion(const XFORM* xf, DWORD bytes, const RGNDATA* data) {
    Piece p;
    p.bytes = bytes;
    const RECT* r = (const RECT*)data->Buffer;
    p.rects.assign(r, r + data->rdh.nCount);
    p.bound = data->rdh.rcBound;
    g_pieces.push_back(p);
    return g_realExtCreateRegion(xf, bytes, data);
}

class RegionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_pieces.clear();
        patch_.reset(new ImportPatch("gdi32.dll", "ExtCreateRegion", (void*)RecordingExtCreateRegion));
        ASSERT_TRUE(patch_->Active());
        g_realExtCreateRegion = patch_->Original<ExtCreateRegionFn>();
    }
    void TearDown() override { patch_.reset(); }

    HRGN Build(const Pixels& p, COLORREF key = RGB(255, 255, 255), COLORREF tol = 0) {
        HBITMAP bm = MakeBitmap(p);
        HRGN r = RegionFromMaskBitmap(bm, key, tol);
        DeleteObject(bm);
        return r;
    }

    std::unique_ptr<ImportPatch> patch_;
};

// Every pixel and a one-pixel border around the picture.
void ExpectRegionIs(HRGN rgn, const Pixels& p, DWORD key = kWhite) {
    ASSERT_NE(rgn, nullptr);
    int wrong = 0;
    for (int y = -1; y <= p.height; ++y)
        for (int x = -1; x <= p.width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < p.width && y < p.height && p.at(x, y) != key;
            if ((PtInRegion(rgn, x, y) != FALSE) != inside && ++wrong < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") should be " << (inside ? "in" : "out");
        }
    EXPECT_EQ(wrong, 0);
}

// The maximal runs of non-white pixels, row by row, left to right.
std::vector<RECT> Runs(const Pixels& p) {
    std::vector<RECT> runs;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width;) {
            if (p.at(x, y) == kWhite) { ++x; continue; }
            int x0 = x;
            while (x < p.width && p.at(x, y) != kWhite) ++x;
            runs.push_back(RECT{x0, y, x, y + 1});
        }
    return runs;
}

std::vector<RECT> AllRects() {
    std::vector<RECT> all;
    for (const Piece& p : g_pieces) all.insert(all.end(), p.rects.begin(), p.rects.end());
    return all;
}

void ExpectSameRects(const std::vector<RECT>& got, const std::vector<RECT>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_TRUE(EqualRect(&got[i], &want[i]))
            << "rectangle " << i << ": got (" << got[i].left << "," << got[i].top << ","
            << got[i].right << "," << got[i].bottom << ")";
}

TEST_F(RegionTest, RandomMasksGiveExactlyTheNonWhitePixels) {
    std::mt19937 rng(20240611);
    const DWORD nearWhite[] = {Rgb(254, 255, 255), Rgb(255, 254, 255), Rgb(255, 255, 254), 0, Rgb(9, 200, 77)};
    for (int round = 0; round < 120; ++round) {
        const int w = 1 + rng() % 70, h = 1 + rng() % 50;
        const int whiteShare = rng() % 101;
        Pixels p(w, h);
        for (DWORD& v : p.rgb) v = (int)(rng() % 100) < whiteShare ? kWhite : nearWhite[rng() % 5];
        g_pieces.clear();
        HRGN r = Build(p);
        ExpectRegionIs(r, p);
        ExpectSameRects(AllRects(), Runs(p));
        DeleteObject(r);
        if (HasFailure()) {
            ADD_FAILURE() << "round " << round << ", " << w << " x " << h;
            return;
        }
    }
}

TEST_F(RegionTest, StructuredMasks) {
    Pixels checker(31, 17), stripes(40, 9), frame(25, 25, 0), diagonal(33, 33, kWhite);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x) checker.at(x, y) = (x + y) % 2 ? kWhite : 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 40; ++x) stripes.at(x, y) = (x / 3) % 2 ? kWhite : Rgb(10, 20, 30);
    for (int y = 2; y < 23; ++y)
        for (int x = 2; x < 23; ++x) frame.at(x, y) = kWhite;
    for (int i = 0; i < 33; ++i) diagonal.at(i, i) = diagonal.at(32 - i, i) = 0;
    for (const Pixels* p : {&checker, &stripes, &frame, &diagonal}) {
        g_pieces.clear();
        HRGN r = Build(*p);
        ExpectRegionIs(r, *p);
        ExpectSameRects(AllRects(), Runs(*p));
        DeleteObject(r);
    }
}

TEST_F(RegionTest, FullRowIsOneRectangleAndWhiteRowNone) {
    Pixels p(12, 3, kWhite);
    for (int x = 0; x < 12; ++x) p.at(x, 1) = Rgb(1, 2, 3);
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    ExpectSameRects(AllRects(), {RECT{0, 1, 12, 2}});
    DeleteObject(r);
}

TEST_F(RegionTest, RunsAtTheRightEdgeAndAcrossAOnePixelGap) {
    Pixels p(10, 1, 0);
    p.at(4, 0) = kWhite;  // gap of one pixel
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    ExpectSameRects(AllRects(), {RECT{0, 0, 4, 1}, RECT{5, 0, 10, 1}});  // second ends at W
    EXPECT_TRUE(PtInRegion(r, 9, 0));
    EXPECT_FALSE(PtInRegion(r, 4, 0));
    DeleteObject(r);
}

TEST_F(RegionTest, OnlyPureWhiteIsCutWithToleranceZero) {
    Pixels p(4, 1);
    p.at(0, 0) = Rgb(255, 255, 254);
    p.at(1, 0) = kWhite;
    p.at(2, 0) = Rgb(254, 255, 255);
    p.at(3, 0) = Rgb(255, 254, 255);
    HRGN r = Build(p);
    EXPECT_TRUE(PtInRegion(r, 0, 0));
    EXPECT_FALSE(PtInRegion(r, 1, 0));
    EXPECT_TRUE(PtInRegion(r, 2, 0));
    EXPECT_TRUE(PtInRegion(r, 3, 0));
    DeleteObject(r);
}

TEST_F(RegionTest, KeyBandsPerChannelStopAt255) {
    // Key (200, 10, 250), tolerance (100, 5, 10): red 200..255, green 10..15, blue 250..255.
    Pixels p(6, 1);
    p.at(0, 0) = Rgb(200, 10, 250);   // all three at the low ends: cut
    p.at(1, 0) = Rgb(255, 15, 255);   // all at the high ends: cut
    p.at(2, 0) = Rgb(199, 12, 252);   // red below its band: inside
    p.at(3, 0) = Rgb(230, 16, 252);   // green above its band: inside
    p.at(4, 0) = Rgb(230, 12, 249);   // blue below: inside
    p.at(5, 0) = Rgb(230, 12, 252);   // cut
    HRGN r = Build(p, RGB(200, 10, 250), RGB(100, 5, 10));
    const bool inside[] = {false, false, true, true, true, false};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(PtInRegion(r, x, 0) != FALSE, inside[x]) << "x = " << x;
    DeleteObject(r);
}

TEST_F(RegionTest, AllWhiteGivesAnEmptyRegionFromOneEmptyPiece) {
    Pixels p(20, 20, kWhite);
    HRGN r = Build(p);
    ASSERT_NE(r, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
    ASSERT_EQ(g_pieces.size(), 1u);
    EXPECT_TRUE(g_pieces[0].rects.empty());
    EXPECT_EQ(g_pieces[0].bytes, 32u + 16u * 100u);
    DeleteObject(r);
}

// Width 20 with 10 one-pixel runs per row: 10 rectangles a row.
Pixels Dotted(int rows, int extraRuns) {
    Pixels p(20, rows + (extraRuns ? 1 : 0), kWhite);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 20; x += 2) p.at(x, y) = 0;
    for (int i = 0; i < extraRuns; ++i) p.at(2 * i, rows) = 0;
    return p;
}

TEST_F(RegionTest, Exactly2000RectanglesAreOnePieceThenAnEmptyOne) {
    Pixels p = Dotted(200, 0);
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    ASSERT_EQ(g_pieces.size(), 2u);
    EXPECT_EQ(g_pieces[0].rects.size(), 2000u);
    EXPECT_EQ(g_pieces[1].rects.size(), 0u);
    // The buffer grew 100 at a time up to 2000 and was handed over whole.
    EXPECT_EQ(g_pieces[0].bytes, 32u + 16u * 2000u);
    EXPECT_EQ(g_pieces[1].bytes, 32u + 16u * 2000u);
    EXPECT_EQ(g_pieces[0].bound.left, 0);
    EXPECT_EQ(g_pieces[0].bound.top, 0);
    EXPECT_EQ(g_pieces[0].bound.right, 19);
    EXPECT_EQ(g_pieces[0].bound.bottom, 200);
    ExpectSameRects(AllRects(), Runs(p));
    DeleteObject(r);
}

TEST_F(RegionTest, Rectangle2001GoesIntoTheFinalPiece) {
    Pixels p = Dotted(200, 1);
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    ASSERT_EQ(g_pieces.size(), 2u);
    EXPECT_EQ(g_pieces[0].rects.size(), 2000u);
    ASSERT_EQ(g_pieces[1].rects.size(), 1u);
    const RECT last = {0, 200, 1, 201};
    EXPECT_TRUE(EqualRect(&g_pieces[1].rects[0], &last));
    // The bounding rectangle starts empty again after a piece.
    EXPECT_TRUE(EqualRect(&g_pieces[1].bound, &last));
    DeleteObject(r);
}

TEST_F(RegionTest, ManyPiecesJoinIntoOneRegion) {
    Pixels p = Dotted(650, 7);  // 6507 rectangles: 2000, 2000, 2000, 507
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    ASSERT_EQ(g_pieces.size(), 4u);
    EXPECT_EQ(g_pieces[3].rects.size(), 507u);
    for (const Piece& piece : g_pieces) EXPECT_LE(piece.rects.size(), 2000u);
    DeleteObject(r);
}

TEST_F(RegionTest, NullBitmapGivesNoRegion) {
    EXPECT_EQ(RegionFromMaskBitmap(nullptr, RGB(255, 255, 255), 0), nullptr);
    EXPECT_TRUE(g_pieces.empty());
}

TEST_F(RegionTest, TheMaskIsOnlyRead) {
    Pixels p(9, 9, kWhite);
    p.at(4, 4) = Rgb(1, 2, 3);
    HBITMAP bm = MakeBitmap(p);
    HRGN r = RegionFromMaskBitmap(bm, RGB(255, 255, 255), 0);
    Pixels after = ReadBitmap(bm);
    EXPECT_EQ(after.rgb, p.rgb);
    EXPECT_NE(GetObjectType(bm), 0u);  // still a bitmap
    DeleteObject(bm);
    DeleteObject(r);
}

// Growing the buffer: the block grows by 100 rectangles at a time; when growing fails
// nothing is written past the block and no region is made.
std::vector<SIZE_T> g_reallocSizes;
bool g_failRealloc = false;
using GlobalReAllocFn = HGLOBAL(WINAPI*)(HGLOBAL, SIZE_T, UINT);
GlobalReAllocFn g_realReAlloc;

HGLOBAL WINAPI RecordingReAlloc(HGLOBAL h, SIZE_T bytes, UINT flags) {
    g_reallocSizes.push_back(bytes);
    if (g_failRealloc && g_reallocSizes.size() >= 3) return nullptr;
    return g_realReAlloc(h, bytes, flags);
}

TEST_F(RegionTest, BufferGrowsByHundredRectangles) {
    ImportPatch grow("kernel32.dll", "GlobalReAlloc", (void*)RecordingReAlloc);
    ASSERT_TRUE(grow.Active());
    g_realReAlloc = grow.Original<GlobalReAllocFn>();
    g_reallocSizes.clear();
    g_failRealloc = false;
    Pixels p = Dotted(45, 0);  // 450 rectangles
    HRGN r = Build(p);
    ExpectRegionIs(r, p);
    EXPECT_EQ(g_reallocSizes, (std::vector<SIZE_T>{32 + 16 * 200, 32 + 16 * 300, 32 + 16 * 400,
                                                   32 + 16 * 500}));
    DeleteObject(r);
}

TEST_F(RegionTest, FailedGrowthGivesNoRegion) {
    ImportPatch grow("kernel32.dll", "GlobalReAlloc", (void*)RecordingReAlloc);
    ASSERT_TRUE(grow.Active());
    g_realReAlloc = grow.Original<GlobalReAllocFn>();
    g_reallocSizes.clear();
    g_failRealloc = true;  // the third growth (to 400) fails
    Pixels p = Dotted(45, 0);
    EXPECT_EQ(Build(p), nullptr);
    EXPECT_EQ(g_reallocSizes.size(), 3u);  // no further attempt after the failure
    EXPECT_TRUE(g_pieces.empty());
    g_failRealloc = false;
}

// Every depth the loader accepts: the mask is read from a file as the dialog does.
class RegionDepthTest : public RegionTest, public ::testing::WithParamInterface<int> {};

TEST_P(RegionDepthTest, FileOfAnyDepth) {
    const int depth = GetParam();
    std::vector<DWORD> palette = {0, kWhite};
    if (depth >= 4) {
        palette = {0, kWhite, Rgb(255, 255, 254), Rgb(254, 255, 255), Rgb(128, 0, 0), Rgb(0, 99, 0)};
        while (palette.size() < (size_t)(1 << depth) && palette.size() < 16) palette.push_back(Rgb(7, 7, (int)palette.size()));
    }
    std::mt19937 rng(depth);
    Pixels p(37, 23);
    for (DWORD& v : p.rgb) v = rng() % 3 == 0 ? kWhite : palette[rng() % palette.size()];
    ScratchDir dir;
    ASSERT_TRUE(WriteBmp(dir.Path("mask.bmp"), p, depth, palette));
    HBITMAP bm = (HBITMAP)LoadImageA(nullptr, dir.Path("mask.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(bm, nullptr);
    HRGN r = RegionFromMaskBitmap(bm, RGB(255, 255, 255), 0);
    ExpectRegionIs(r, p);
    DeleteObject(r);
    DeleteObject(bm);
}

INSTANTIATE_TEST_SUITE_P(Depths, RegionDepthTest, ::testing::Values(1, 4, 8, 24, 32));

}  // namespace
