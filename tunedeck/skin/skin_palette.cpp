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

// The device says whether it maps colours through a palette; the depth alone does not
// (an 8-bit display may have fixed colours, and the other way round).
bool SkinPaletteDisplay() {
    HDC screen = GetDC(nullptr);
    const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    return palette;
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

bool RealizeSkinPaletteIn(HWND window, bool background) {
    if (!window || !SkinPaletteDisplay()) return false;
    HPALETTE palette = SkinPalette();
    if (!palette) return false;
    HDC dc = GetDC(window);
    if (!dc) return false;
    HPALETTE old = SelectPalette(dc, palette, background ? TRUE : FALSE);
    RealizePalette(dc);
    SelectPalette(dc, old, TRUE);
    ReleaseDC(window, dc);
    // The system palette may hold other colours than at the last paint: every pixel of
    // the face and its controls is mapped again.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

LRESULT AnswerSkinPaletteMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == WM_QUERYNEWPALETTE) return RealizeSkinPaletteIn(window, false) ? TRUE : FALSE;
    // WM_PALETTECHANGED: a change this window (or one of its controls, painting) made
    // needs nothing more, and answering it would go round for ever.
    HWND changer = reinterpret_cast<HWND>(wParam);
    if (changer != window && !IsChild(window, changer)) RealizeSkinPaletteIn(window, true);
    return 0;
}
