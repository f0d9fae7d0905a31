// Benchmark (run by bench/region.sh): RegionFromMaskBitmap on a 1000 x 1000 mask with
// many runs per row, next to a plain builder that asks GetPixel for every pixel and
// joins one rectangle region per run, measured in the same run on the same mask.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <random>
#include <vector>

#include "mask_region.h"
#include "skin_test_util.h"

namespace {

// The straightforward way: GetPixel for every pixel through the device context, the
// runs collected and handed to the system in one piece. Only the pixel access differs
// from the routine measured against it.
HRGN PlainRegionFromMask(HBITMAP mask) {
    BITMAP bm;
    GetObjectA(mask, sizeof bm, &bm);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    std::vector<RECT> runs;
    for (int y = 0; y < bm.bmHeight; ++y) {
        int x = 0;
        while (x < bm.bmWidth) {
            while (x < bm.bmWidth && GetPixel(dc, x, y) == RGB(255, 255, 255)) ++x;
            const int x0 = x;
            while (x < bm.bmWidth && GetPixel(dc, x, y) != RGB(255, 255, 255)) ++x;
            if (x > x0) runs.push_back(RECT{x0, y, x, y + 1});
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATA* rd = (RGNDATA*)data.data();
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = (DWORD)runs.size();
    rd->rdh.nRgnSize = 0;
    SetRect(&rd->rdh.rcBound, 0, 0, bm.bmWidth, bm.bmHeight);
    memcpy(rd->Buffer, runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, (DWORD)data.size(), rd);
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

}  // namespace

int main() {
    // Runs of random length (1 to 12 pixels) alternating with white gaps: about 80
    // runs per row, 80 000 rectangles in all.
    const int N = 1000;
    Pixels p(N, N, Rgb(255, 255, 255));
    std::mt19937 rng(1000);
    for (int y = 0; y < N; ++y) {
        int x = (int)(rng() % 5);
        while (x < N) {
            const int run = 1 + (int)(rng() % 12);
            for (int i = 0; i < run && x < N; ++i, ++x) p.at(x, y) = Rgb(30, 40, 50 + (x % 7));
            x += 1 + (int)(rng() % 12);
        }
    }
    HBITMAP mask = MakeBitmap(p);

    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    HRGN fast = RegionFromMaskBitmap(mask, RGB(255, 255, 255), 0);
    QueryPerformanceCounter(&t1);
    HRGN plain = PlainRegionFromMask(mask);
    QueryPerformanceCounter(&t2);

    const double fastS = Seconds(t0, t1), plainS = Seconds(t1, t2);
    const bool same = fast && plain && EqualRgn(fast, plain);
    printf("mask 1000 x 1000, %s regions\n", same ? "equal" : "DIFFERENT");
    printf("RegionFromMaskBitmap   %9.1f ms\n", fastS * 1000);
    printf("GetPixel per pixel     %9.1f ms\n", plainS * 1000);
    printf("speed-up               %9.1f x (target: at least 20 x)\n", plainS / fastS);
    DeleteObject(fast);
    DeleteObject(plain);
    DeleteObject(mask);
    return same ? 0 : 1;
}
