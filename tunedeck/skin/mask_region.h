// Window outline from a mask bitmap.
#pragma once
#include <windows.h>

// Builds a region of every pixel of `mask` whose colour lies outside the key band
// (each channel from key to min(255, key + tolerance), both packed like COLORREF).
// Pixel (x, y) of the bitmap, (0, 0) at its top-left, becomes point (x, y) of the
// region. The bitmap is only read. Returns a new region owned by the caller, or null
// when the bitmap is null or a working object cannot be made. Rectangles are handed
// to the system in pieces of at most MASK_REGION_PIECE and joined by union.
HRGN RegionFromMaskBitmap(HBITMAP mask, COLORREF key, COLORREF tolerance);

enum {
    MASK_REGION_GROW = 100,   // rectangles added to the buffer at a time
    MASK_REGION_PIECE = 2000  // rectangles per ExtCreateRegion call, at most
};
