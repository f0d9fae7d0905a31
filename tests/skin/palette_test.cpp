// The skin on a palette display: run on the suite's true-colour screen, where nothing
// changes, and again on a 640 x 480 x 8 screen (tests/support/screen_mode.sh), where the
// pictures keep their colours as they load and every drawing DC gets the halftone
// palette.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_file.h"
#include "import_patch.h"
#include "skin_slider.h"
#include "skin_palette.h"
#include "skin_test_util.h"

namespace {

int ScreenBits() {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
}

// Whether the display maps colours through a palette, as the device says it.
bool DeviceHasPalette() {
    HDC screen = GetDC(nullptr);
    const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    return palette;
}

TEST(SkinPalette, PicturesAndDrawingFollowTheDisplay) {
    const bool palette = DeviceHasPalette();
    RecordProperty("bits_per_pixel", ScreenBits());
    RecordProperty("rc_palette", palette ? 1 : 0);
    EXPECT_EQ(palette, SkinPaletteDisplay());

    // A grey of the face: on a palette display the picture keeps it (a DIB section of
    // its own depth), elsewhere it loads as a device bitmap.
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

bool NeedsPaint(HWND window) {
    RECT r;
    return GetUpdateRect(window, &r, FALSE) != FALSE;
}

// A shown skinned window with one control, everything painted.
struct SkinnedWindow {
    HWND window, control, other;
    SkinnedWindow() {
        // Clipping its controls: only a repaint that asks for them reaches them.
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 120, 80,
                                 nullptr, nullptr, nullptr, nullptr);
        control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, window, nullptr,
                                  nullptr, nullptr);
        other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        Painted();
    }
    ~SkinnedWindow() {
        DestroyWindow(other);
        DestroyWindow(window);
    }
    void Painted() {
        UpdateWindow(window);
        ValidateRect(window, nullptr);
        ValidateRect(control, nullptr);
    }
};

// Another program realizes its palette, or ours gets the focus back: on a palette
// display the face and its controls are mapped and drawn again; a change that the
// window itself made (or one of its controls) is left alone. Elsewhere nothing happens.
TEST(SkinPalette, PaletteMessagesRepaintTheFaceAndItsControls) {
    const bool palette = DeviceHasPalette();
    SkinnedWindow w;
    ASSERT_TRUE(w.window && w.control && w.other);

    EXPECT_EQ(palette ? TRUE : FALSE, AnswerSkinPaletteMessage(w.window, WM_QUERYNEWPALETTE, 0));
    EXPECT_EQ(palette, NeedsPaint(w.window));
    EXPECT_EQ(palette, NeedsPaint(w.control)) << "the controls draw with the palette too";

    w.Painted();
    EXPECT_EQ(0, AnswerSkinPaletteMessage(w.window, WM_PALETTECHANGED, (WPARAM)w.other));
    EXPECT_EQ(palette, NeedsPaint(w.window));
    EXPECT_EQ(palette, NeedsPaint(w.control));

    for (HWND changer : {w.window, w.control}) {
        w.Painted();
        EXPECT_EQ(0, AnswerSkinPaletteMessage(w.window, WM_PALETTECHANGED, (WPARAM)changer));
        EXPECT_FALSE(NeedsPaint(w.window)) << "its own change: no endless round";
        EXPECT_FALSE(NeedsPaint(w.control));
    }
}

// What the device says decides, not its depth: played through the program's own
// GetDeviceCaps.
// gdi32's own functions, for the stand-ins to pass on to (the program's import table
// leads back to the stand-ins while they are in place).
template <typename F> F Gdi(const char* name) {
    return reinterpret_cast<F>(GetProcAddress(GetModuleHandleA("gdi32.dll"), name));
}

int g_rasterCaps = 0, g_bitsPixel = 0;
int WINAPI PlayedCaps(HDC dc, int index) {
    if (index == RASTERCAPS) return g_rasterCaps;
    if (index == BITSPIXEL) return g_bitsPixel;
    if (index == PLANES) return 1;
    return Gdi<int(WINAPI*)(HDC, int)>("GetDeviceCaps")(dc, index);
}

TEST(SkinPalette, TheDevicesPaletteCapabilityDecidesNotItsDepth) {
    ImportPatch caps("gdi32.dll", "GetDeviceCaps", (void*)PlayedCaps);
    ASSERT_TRUE(caps.Active());
    struct Case {
        int bits;
        bool rcPalette;
    } cases[] = {{8, true}, {8, false}, {16, true}, {24, false}, {4, true}};
    for (const Case& c : cases) {
        g_bitsPixel = c.bits;
        g_rasterCaps = RC_BITBLT | (c.rcPalette ? RC_PALETTE : 0);
        EXPECT_EQ(c.rcPalette, SkinPaletteDisplay()) << c.bits << " bits";
        EXPECT_EQ(c.rcPalette ? (RGB(9, 8, 7) | 0x02000000u) : RGB(9, 8, 7), SkinPaletteColor(RGB(9, 8, 7)))
            << c.bits << " bits";
    }
}

// The colours the slider's bar hands to GDI: pen, brush and every pixel.
std::vector<COLORREF> g_colours;
COLORREF WINAPI RecordedSetPixel(HDC dc, int x, int y, COLORREF c) {
    g_colours.push_back(c);
    return Gdi<COLORREF(WINAPI*)(HDC, int, int, COLORREF)>("SetPixel")(dc, x, y, c);
}
HPEN WINAPI RecordedCreatePen(int style, int width, COLORREF c) {
    g_colours.push_back(c);
    return Gdi<HPEN(WINAPI*)(int, int, COLORREF)>("CreatePen")(style, width, c);
}
HBRUSH WINAPI RecordedCreateSolidBrush(COLORREF c) {
    g_colours.push_back(c);
    return Gdi<HBRUSH(WINAPI*)(COLORREF)>("CreateSolidBrush")(c);
}

class BarSlider : public CSkinSlider {
public:
    using CSkinSlider::CSkinSlider;
    using CSkinSlider::DrawThumbAndBar;
};

// The slider's shaded bar is the face's own drawing: on a palette display its greens
// go through the halftone palette (PALETTERGB), as the pictures around it are mapped,
// instead of falling on the twenty static colours; elsewhere they stay plain RGB.
TEST(SkinPalette, TheSlidersBarGoesThroughThePaletteThere) {
    ImportPatch caps("gdi32.dll", "GetDeviceCaps", (void*)PlayedCaps);
    ImportPatch pixel("gdi32.dll", "SetPixel", (void*)RecordedSetPixel);
    ImportPatch pen("gdi32.dll", "CreatePen", (void*)RecordedCreatePen);
    ImportPatch brush("gdi32.dll", "CreateSolidBrush", (void*)RecordedCreateSolidBrush);
    ASSERT_TRUE(caps.Active() && pixel.Active() && pen.Active() && brush.Active());
    // Pictures that are not there: only the bar is drawn.
    ScratchDir dir;
    ASSERT_TRUE(dir.Write("bar.ini", "[gslider]\r\nthumb_h=a.bmp\r\nthumb_v=b.bmp\r\nchannel_h=c.bmp\r\nchannel_v=d.bmp\r\n"));
    BarSlider slider(dir.Path("bar.ini").c_str());
    for (bool palette : {true, false}) {
        g_bitsPixel = palette ? 8 : 24;
        g_rasterCaps = RC_BITBLT | (palette ? RC_PALETTE : 0);
        g_colours.clear();
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP paper = CreateCompatibleBitmap(screen, 120, 40);
        HGDIOBJ old = SelectObject(mem, paper);
        // Thumb (50, 0, 61, 19): bar rows 5 to 11, the greens 150 to 180.
        CDC dc(mem);
        slider.DrawThumbAndBar(&dc, CRect(50, 0, 61, 19));
        SelectObject(mem, old);
        DeleteObject(paper);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);

        ASSERT_GE(g_colours.size(), 3u);
        for (COLORREF c : g_colours) {
            EXPECT_EQ(palette ? 0x02000000u : 0u, c & 0xFF000000u) << std::hex << c;
            EXPECT_EQ(0u, c & 0xFF00FFu) << "a green" << std::hex << c;
        }
    }
}

}  // namespace
