// Bitmap files named by the skin, loaded only when they are whole. The system's file
// loader trusts the file's header: a file cut short, or one whose header promises more
// pixels than it holds, makes it read past the end of the file's mapping, and the
// program dies. Skin files are edited by hand, so every picture goes through here.
#pragma once
#include <windows.h>

// True when the file at `path` is a Windows bitmap whose headers, colour table and
// pixel data all lie inside the file: 'BM', a core (12-byte) or info (40 bytes or more)
// header, one plane, 1, 4, 8, 16, 24 or 32 bits per pixel, no compression, bit fields
// (16 and 32 bits) or run-length compression (RLE8 at 8 bits, RLE4 at 4, bottom-up,
// with its stated data size inside the file), width 1 to 32767, height 1 to 32767
// either way up.
bool BitmapFileIsWhole(const char* path);

// LoadImageA (bitmap, the file's own size, LR_LOADFROMFILE) of a whole file; null
// for a file that is not whole or does not load.
HBITMAP LoadBitmapFile(const char* path);

// The picture a bitmap name of the skin file `configPath` stands for (SkinBitmapPath),
// loaded as above.
HBITMAP LoadSkinBitmap(const char* configPath, const char* name);
