#include "skin_palette.h"

namespace {

HPALETTE SkinPalette() {
    static HPALETTE palette = nullptr;
    static bool made = false;
    if (!made) {
        made = true;
        HDC screen = GetDC(nullptr);
        palette = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
    }
    return palette;
}

}  // namespace

bool SkinPaletteDisplay() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits <= 8;
}

void UseSkinPalette(HDC dc) {
    if (!dc || !SkinPaletteDisplay()) return;
    HPALETTE palette = SkinPalette();
    if (!palette) return;
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
}

COLORREF SkinPaletteColor(COLORREF colour) {
    return SkinPaletteDisplay() ? (colour | 0x02000000) : colour;  // PALETTERGB
}
