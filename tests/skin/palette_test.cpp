// The skin on a palette display: run on the suite's true-colour screen, where nothing
// changes, and again on a 640 x 480 x 8 screen (tests/e2e/screen_mode.sh), where the
// pictures keep their colours as they load and every drawing DC gets the halftone
// palette.
#include <gtest/gtest.h>

#include "bitmap_file.h"
#include "skin_palette.h"
#include "skin_test_util.h"

namespace {

int ScreenBits() {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
}

TEST(SkinPalette, PicturesAndDrawingFollowTheDisplay) {
    const bool palette = ScreenBits() <= 8;
    RecordProperty("bits_per_pixel", ScreenBits());
    EXPECT_EQ(palette, SkinPaletteDisplay());

    // A grey of the face: on a palette display the picture keeps it (a DIB section of
    // its own depth), elsewhere it loads as a device bitmap as it always did.
    ScratchDir dir;
    Pixels grey(8, 8, Rgb(32, 34, 38));
    ASSERT_TRUE(WriteBmp(dir.Path("grey.bmp"), grey, 24));
    HBITMAP picture = LoadBitmapFile(dir.Path("grey.bmp").c_str());
    ASSERT_TRUE(picture);
    DIBSECTION dib;
    const int size = GetObjectA(picture, sizeof dib, &dib);
    if (palette) {
        ASSERT_EQ((int)sizeof(DIBSECTION), size);
        EXPECT_EQ(24, dib.dsBmih.biBitCount);
        EXPECT_EQ(Rgb(32, 34, 38), ReadBitmap(picture).at(3, 3)) << "the colour survives loading";
    } else {
        EXPECT_EQ((int)sizeof(BITMAP), size) << "a device bitmap";
    }
    DeleteObject(picture);

    // The drawing DC: the halftone palette selected (the same one every time), or the
    // default palette left alone.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    UseSkinPalette(mem);
    HGDIOBJ selected = GetCurrentObject(mem, OBJ_PAL);
    if (palette) {
        EXPECT_NE(GetStockObject(DEFAULT_PALETTE), selected);
        WORD entries = 0;
        GetObjectA(selected, sizeof entries, &entries);
        EXPECT_EQ(256, entries);
        HDC other = CreateCompatibleDC(screen);
        UseSkinPalette(other);
        EXPECT_EQ(selected, GetCurrentObject(other, OBJ_PAL)) << "one palette, made once";
        DeleteDC(other);
        EXPECT_EQ(RGB(1, 2, 3) | 0x02000000u, SkinPaletteColor(RGB(1, 2, 3))) << "PALETTERGB";
    } else {
        EXPECT_EQ(GetStockObject(DEFAULT_PALETTE), selected);
        EXPECT_EQ(RGB(1, 2, 3), SkinPaletteColor(RGB(1, 2, 3)));
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

}  // namespace
