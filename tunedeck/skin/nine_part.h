// Nine-part scaling: a picture cell stretched to another size while its four corners
// keep their size and the edges stretch along one direction only.
#pragma once
#include <windows.h>

struct NinePartMargins {
    int left, top, right, bottom;
};

// Copies the cell (sx, 0, sw, sh) of `source` onto (dx, 0, w, h) of `target`, all
// copies SRCCOPY, in this order: centre, the four corners (top left, top right, bottom
// right, bottom left), the four edges (top, right, bottom, left).
void DrawNinePart(HDC target, int dx, int w, int h, HDC source, int sx, int sw, int sh,
                  const NinePartMargins& m);
