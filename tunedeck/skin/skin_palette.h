// Displays of 256 colours or fewer. The skin's pictures are true-colour; GDI maps them
// through the palette selected into the DC they are drawn into, which is otherwise the
// 20-colour default palette: the face's greys and greens come out as black and noise.
// One halftone palette, made once per process, is selected into every DC that draws
// the skin. On displays with more colours nothing of this is done. A window that shows
// the skin realizes that palette again whenever the system palette changes hands.
#pragma once
#include <windows.h>

// The display maps colours through a palette (RC_PALETTE).
bool SkinPaletteDisplay();
// Selects and realizes the skin's palette in 'dc' on a palette display.
void UseSkinPalette(HDC dc);
// A colour as the nearest entry of the skin's palette there, unchanged elsewhere.
COLORREF SkinPaletteColor(COLORREF colour);

// Realizes the skin's palette in 'window' (as a background palette when another
// window has the foreground) and repaints the window with its controls. False, doing
// nothing, off a palette display.
bool RealizeSkinPaletteIn(HWND window, bool background);
// The answer of a skinned window to WM_QUERYNEWPALETTE (TRUE when it realized its
// palette) and WM_PALETTECHANGED (0; wParam is the window that changed the palette).
LRESULT AnswerSkinPaletteMessage(HWND window, UINT message, WPARAM wParam);
