// The two shipped skins: every key present, every bitmap loadable from the shipped
// folder (the program's current directory), strips of four cells of the button's size,
// and every control and drawn text on the window's face, inside its outline.
#include <gtest/gtest.h>

#include <string>

#include "mask_region.h"
#include "skin_config.h"
#include "skin_surface.h"
#include "skin_test_util.h"

namespace {

class ShippedSkinTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, oldDir_);
        // The shipped folder lies beside the test program's folder (build/bin, build/dist).
        char dist[MAX_PATH];
        GetModuleFileNameA(nullptr, dist, MAX_PATH);
        strcpy(strrchr(dist, '\\') + 1, "..\\dist");
        ASSERT_TRUE(SetCurrentDirectoryA(dist)) << dist;
        SkinFullPath(GetParam(), path_);
        ASSERT_NE(GetFileAttributesA(path_), INVALID_FILE_ATTRIBUTES) << path_;
    }
    void TearDown() override { SetCurrentDirectoryA(oldDir_); }

    HBITMAP Load(const char* name) {
        return (HBITMAP)LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    }
    SIZE SizeOf(const char* name) {
        SIZE s = {0, 0};
        HBITMAP b = Load(name);
        BITMAP bm;
        if (b && GetObjectA(b, sizeof bm, &bm)) s = SIZE{bm.bmWidth, bm.bmHeight};
        if (b) DeleteObject(b);
        return s;
    }
    // The whole rectangle lies inside the window's outline.
    void ExpectInside(HRGN outline, int x, int y, int w, int h, const char* what) {
        RECT r = {x, y, x + w, y + h};
        HRGN part = CreateRectRgnIndirect(&r), outside = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(outside, part, outline, RGN_DIFF), NULLREGION) << what;
        DeleteObject(part);
        DeleteObject(outside);
    }

    char oldDir_[MAX_PATH];
    char path_[SKIN_PATH_SIZE];
};

TEST_P(ShippedSkinTest, EveryKeyIsThereAndEveryPictureLoads) {
    char face[SKIN_BITMAP_SIZE], mask[SKIN_BITMAP_SIZE];
    SkinReadFacePath(path_, face);
    SkinReadMaskPath(path_, mask);
    SIZE faceSize = SizeOf(face), maskSize = SizeOf(mask);
    EXPECT_GT(faceSize.cx, 0) << face;
    EXPECT_EQ(faceSize.cx, maskSize.cx);
    EXPECT_EQ(faceSize.cy, maskSize.cy);
    EXPECT_LE(faceSize.cx, 483);
    EXPECT_LE(faceSize.cy, 500);

    HBITMAP maskBitmap = Load(mask);
    HRGN outline = RegionFromMaskBitmap(maskBitmap, SKIN_MASK_KEY, SKIN_MASK_TOLERANCE);
    DeleteObject(maskBitmap);
    ASSERT_NE(outline, nullptr);
    RECT box;
    ASSERT_EQ(GetRgnBox(outline, &box), COMPLEXREGION);  // an irregular outline

    SkinSliderPictures pics;
    ASSERT_EQ(SkinReadSliderPictures(path_, &pics), 0);
    for (const char* pic : {pics.thumbH, pics.thumbV, pics.channelH, pics.channelV}) {
        EXPECT_LT(strlen(pic), 19u) << pic;  // not cut by the reader
        EXPECT_GT(SizeOf(pic).cx, 0) << pic;
    }
    for (int n = 1; n <= 2; ++n) {
        SkinPlace s = SkinReadSliderPlace(path_, n);
        ExpectInside(outline, s.x, s.y, s.width, s.height, "slider");
        // The channel picture is the slider's whole background.
        EXPECT_EQ(SizeOf(pics.channelH).cx, s.width);
        EXPECT_EQ(SizeOf(pics.channelH).cy, s.height);
    }
    for (int n = 1; n <= 5; ++n) {
        SkinPlace b = SkinReadButtonPlace(path_, n);
        ExpectInside(outline, b.x, b.y, b.width, b.height, "button");
        char strip[SKIN_BITMAP_SIZE];
        SkinReadButtonStrip(path_, n, strip);
        SIZE s = SizeOf(strip);
        EXPECT_EQ(s.cx, 4 * b.width) << strip;  // four states, drawn at their own size
        EXPECT_EQ(s.cy, b.height) << strip;
    }
    // Drawn texts: (x + frame, y) with the placeholders' sizes; the frame is 3 here.
    SkinPlace e = SkinReadEngineTextPlace(path_), m = SkinReadMemoryTextPlace(path_);
    SkinPlace brand = SkinReadBrandTextPlace(path_), model = SkinReadModelTextPlace(path_);
    ExpectInside(outline, e.x + 3, e.y, 27, 16, "engine text");
    ExpectInside(outline, m.x + 3, m.y, 27, 16, "memory text");
    ExpectInside(outline, brand.x + 3, brand.y, 120, 21, "brand text");
    ExpectInside(outline, model.x + 3, model.y, 156, 28, "model text");
    SkinPlace list = SkinReadProfileListPlace(path_);
    ExpectInside(outline, list.x, list.y, list.width, 20, "profile list");
    SkinColor c = SkinReadTextColor(path_);
    EXPECT_NE(c.red, -1);
    EXPECT_NE(c.green, -1);
    EXPECT_NE(c.blue, -1);
    DeleteObject(outline);
}

TEST_P(ShippedSkinTest, SimulatedCardsHaveModelNames) {
    for (unsigned ssid : {0x0A12u, 0x9A05u}) {
        char model[SKIN_MODEL_SIZE];
        SkinReadModelName(path_, ssid, model);
        EXPECT_FALSE(SkinTextMissing(model)) << std::hex << ssid;
        EXPECT_LT(strlen(model), 19u);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedSkinTest,
                         ::testing::Values("Config_USA.INI", "Config_CHT.INI"));

}  // namespace
