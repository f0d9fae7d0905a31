// Small helpers the skin tests share: pictures as pixel arrays, .bmp files of any
// depth, a scratch folder, skin files, and reading back what a window shows.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A picture as 0x00RRGGBB pixels (COLORREF order swapped: red high), row 0 on top.
struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> rgb;
    Pixels() {}
    Pixels(int w, int h, DWORD fill = 0) : width(w), height(h), rgb((size_t)w * h, fill) {}
    DWORD& at(int x, int y) { return rgb[(size_t)y * width + x]; }
    DWORD at(int x, int y) const { return rgb[(size_t)y * width + x]; }
};

inline DWORD Rgb(int r, int g, int b) { return (DWORD)((r << 16) | (g << 8) | b); }
inline DWORD FromColorref(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A 32-bit top-down DIB section holding the pixels (caller deletes).
HBITMAP MakeBitmap(const Pixels& p);
// Reads a bitmap back as pixels (through a 32-bit DIB copy).
Pixels ReadBitmap(HBITMAP bitmap);
// What the window's client area shows.
Pixels ReadWindow(HWND window);

// Writes a .bmp file. Depth 24 or 32 writes the pixels; depth 1, 4 or 8 writes
// indices into `palette` (each pixel must be one of its colours).
bool WriteBmp(const std::string& path, const Pixels& p, int depth,
              const std::vector<DWORD>& palette = {});

// A folder of its own under the temporary folder, removed with its files at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    const std::string& Dir() const { return dir_; }
    // Writes the bytes as the file `name` here; false when they could not be written.
    bool Write(const std::string& name, const std::string& text) const;

private:
    std::string dir_;
};

// Removes a pending quit request from this thread's queue; returns true and its code
// when there was one.
bool TakeQuitRequest(int* code);

// Runs this thread's messages until none is left (paints included).
void PumpMessages();
