// Nine-part scaling of one picture cell.
#include "nine_part.h"

void DrawNinePart(HDC t, int dx, int w, int h, HDC s, int sx, int sw, int sh,
                  const NinePartMargins& m) {
    const int L = m.left, T = m.top, R = m.right, B = m.bottom;
    // Centre, stretched both ways.
    StretchBlt(t, dx + L, T, w - L - R, h - T - B, s, sx + L, T, sw - L - R, sh - T - B, SRCCOPY);
    // Corners, unscaled.
    BitBlt(t, dx, 0, L, T, s, sx, 0, SRCCOPY);
    BitBlt(t, dx + w - R, 0, R, T, s, sx + sw - R, 0, SRCCOPY);
    BitBlt(t, dx + w - R, h - B, R, B, s, sx + sw - R, sh - B, SRCCOPY);
    BitBlt(t, dx, h - B, L, B, s, sx, sh - B, SRCCOPY);
    // Edges, stretched along their length.
    StretchBlt(t, dx + L, 0, w - L - R, T, s, sx + L, 0, sw - L - R, T, SRCCOPY);
    StretchBlt(t, dx + w - R, T, R, h - T - B, s, sx + sw - R, T, R, sh - T - B, SRCCOPY);
    StretchBlt(t, dx + L, h - B, w - L - R, B, s, sx + L, sh - B, sw - L - R, B, SRCCOPY);
    StretchBlt(t, dx, T, L, h - T - B, s, sx, T, L, sh - T - B, SRCCOPY);
}
