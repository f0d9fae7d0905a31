// Bitmap files made in memory for the bad-skin tests and the skin fuzz run: sound
// pictures of every depth and layout the platform loader knows, and broken ones
// (cut short, lying headers, no bitmap at all). Nothing is kept on disk in the
// source tree; the tests write what they need into scratch folders.
#pragma once
#include <windows.h>

#include <random>
#include <string>
#include <vector>

namespace corpus {

// The one picture every sound entry shows: white (255, 255, 255) on a one-pixel
// border, dark grey inside, so a mask of it cuts exactly the border away.
inline bool Inside(int x, int y, int w, int h) { return x > 0 && y > 0 && x < w - 1 && y < h - 1; }

// A .bmp file of the picture, w x h, at `depth` bits per pixel (1, 4, 8, 16, 24, 32),
// uncompressed, bottom-up, or top-down when asked (negative height).
std::string Bmp(int w, int h, int depth, bool topDown = false);
// The same picture, 8 or 4 bits per pixel, run-length compressed (BI_RLE8 / BI_RLE4).
std::string RleBmp(int w, int h, int depth);

// What a file should give when loaded.
enum class Expect {
    Picture,     // loads, and shows the picture
    NoPicture,   // is refused before the system's loader sees it
    // Whole by its headers, so it reaches the system's loader and gives a bitmap of
    // the stated size; which pixels is the loader's business (Windows shows top-down
    // files, Wine 8 paints them black; runs past a row are clipped or wrapped).
    Loaded
};

struct Entry {
    std::string name;    // also a fine file name: letters, digits and '_'
    std::string bytes;
    Expect expect;
};

// The whole corpus for a picture of w x h (at least 4 x 4).
std::vector<Entry> Bitmaps(int w, int h);

// Files each refused by one check of the loader's gate alone: everything else about
// them is whole, so the file would reach the system's loader if that check were gone.
std::vector<Entry> EdgeBitmaps(int w, int h);

// One random mutation of a file: flipped bytes, overwritten header fields, a cut, a
// repeated block, or bytes inserted. Deterministic for a given generator state.
std::string Mutate(const std::string& bytes, std::mt19937& rng);

}  // namespace corpus
