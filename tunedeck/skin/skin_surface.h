// What the skinned dialog does with its face: the outline, the face picture and the
// drag by any point of the face. Plain functions over the dialog's window handle, so
// the dialog calls them from its own handlers.
#pragma once
#include <windows.h>

// Key colour and tolerance of the dialog's mask: exactly pure white is outside.
#define SKIN_MASK_KEY RGB(255, 255, 255)
#define SKIN_MASK_TOLERANCE 0

// Reads [main] windows_mask from the skin file, builds the region, moves it by the
// client origin offset (dx, dy) and hands it to the window (redraw). Returns the
// region, which the window owns from then on, or null when the mask could not be
// loaded: the window then keeps its ordinary rectangular frame. No message is shown.
// 'box', when given, receives the region's bounding box in window coordinates (empty
// without a region).
HRGN ApplySkinRegion(HWND dialog, const char* configPath, int dx, int dy, RECT* box = nullptr);

// WM_ERASEBKGND: paints the face bitmap named by [main] windows_name at the client
// origin, as large as the window rectangle, loading it afresh. Without a face picture
// the client area is filled with one dark colour. Always returns nonzero.
BOOL PaintSkinFace(HWND dialog, HDC dc, const char* configPath);

// WM_LBUTTONDOWN on the dialog's own surface: posts a caption press so the system's
// move loop drags the window. The caller then passes the press on to its default
// handling. `pressPoint` is the message's lParam (client coordinates).
void StartSkinDrag(HWND dialog, LPARAM pressPoint);
