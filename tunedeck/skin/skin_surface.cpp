// The skinned dialog's outline, face and drag.
#include "skin_surface.h"

#include "bitmap_file.h"
#include "mask_region.h"
#include "skin_config.h"
#include "skin_palette.h"

HRGN ApplySkinRegion(HWND dialog, const char* configPath, int dx, int dy, RECT* box) {
    if (box) *box = RECT{0, 0, 0, 0};
    char maskName[SKIN_BITMAP_SIZE];
    SkinReadMaskPath(configPath, maskName);
    HBITMAP mask = LoadSkinBitmap(configPath, maskName);
    HRGN region = RegionFromMaskBitmap(mask, SKIN_MASK_KEY, SKIN_MASK_TOLERANCE);
    if (mask) DeleteObject(mask);  // nothing needs the mask once the outline exists
    if (!region) return nullptr;
    OffsetRgn(region, dx, dy);  // mask pixel (0, 0) on the client origin
    if (box) GetRgnBox(region, box);  // before the window takes it over
    SetWindowRgn(dialog, region, TRUE);
    return region;
}

BOOL PaintSkinFace(HWND dialog, HDC dc, const char* configPath) {
    RECT wr;
    GetWindowRect(dialog, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;

    char faceName[SKIN_BITMAP_SIZE];
    SkinReadFacePath(configPath, faceName);
    HBITMAP face = LoadSkinBitmap(configPath, faceName);
    if (!face) {
        // No picture to take a size from: one plain colour rather than stale pixels.
        RECT cr;
        GetClientRect(dialog, &cr);
        UseSkinPalette(dc);
        HBRUSH brush = CreateSolidBrush(SkinPaletteColor(RGB(32, 34, 38)));
        FillRect(dc, &cr, brush);
        DeleteObject(brush);
        return TRUE;
    }
    UseSkinPalette(dc);
    HDC mem = CreateCompatibleDC(dc);
    UseSkinPalette(mem);
    HGDIOBJ old = SelectObject(mem, face);
    BitBlt(dc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(face);
    return TRUE;
}

void StartSkinDrag(HWND dialog, LPARAM pressPoint) {
    PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, pressPoint);
}
