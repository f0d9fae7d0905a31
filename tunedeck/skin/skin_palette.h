// Displays of 256 colours or fewer. The skin's pictures are true-colour; GDI maps them
// through the palette selected into the DC they are drawn into, which is otherwise the
// 20-colour default palette: the face's greys and greens come out as black and noise.
// One halftone palette, made once per process, is selected into every DC that draws
// the skin. On displays with more colours nothing of this is done.
#pragma once
#include <windows.h>

// The display has a palette (8 bits per pixel or fewer).
bool SkinPaletteDisplay();
// Selects and realizes the skin's palette in 'dc' on a palette display.
void UseSkinPalette(HDC dc);
// A colour as the nearest entry of the skin's palette there, unchanged elsewhere.
COLORREF SkinPaletteColor(COLORREF colour);
