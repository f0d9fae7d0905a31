#include "skin_test_util.h"

#include <stdio.h>

HBITMAP MakeBitmap(const Pixels& p) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bm) memcpy(bits, p.rgb.data(), p.rgb.size() * 4);
    return bm;
}

static Pixels ReadDC(HDC source, int x, int y, int w, int h) {
    Pixels out(w, h);
    Pixels blank(w, h);
    HBITMAP copy = MakeBitmap(blank);
    HDC mem = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(mem, copy);
    BitBlt(mem, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    DIBSECTION ds;
    GetObjectA(copy, sizeof ds, &ds);
    memcpy(out.rgb.data(), ds.dsBm.bmBits, out.rgb.size() * 4);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(copy);
    for (DWORD& v : out.rgb) v &= 0xFFFFFF;
    return out;
}

Pixels ReadBitmap(HBITMAP bitmap) {
    BITMAP bm;
    GetObjectA(bitmap, sizeof bm, &bm);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, bitmap);
    Pixels p = ReadDC(src, 0, 0, bm.bmWidth, bm.bmHeight);
    SelectObject(src, old);
    DeleteDC(src);
    return p;
}

Pixels ReadWindow(HWND window) {
    RECT rc;
    GetClientRect(window, &rc);
    HDC dc = GetDC(window);
    Pixels p = ReadDC(dc, 0, 0, rc.right, rc.bottom);
    ReleaseDC(window, dc);
    return p;
}

bool WriteBmp(const std::string& path, const Pixels& p, int depth, const std::vector<DWORD>& palette) {
    const int stride = ((p.width * depth + 31) / 32) * 4;
    const int colours = depth <= 8 ? (1 << depth) : 0;
    std::vector<BYTE> rows((size_t)stride * p.height, 0);
    for (int y = 0; y < p.height; ++y) {
        BYTE* row = &rows[(size_t)(p.height - 1 - y) * stride];  // bottom-up
        for (int x = 0; x < p.width; ++x) {
            const DWORD c = p.at(x, y);
            if (depth >= 24) {
                BYTE* px = row + x * (depth / 8);
                px[0] = c & 0xFF;
                px[1] = (c >> 8) & 0xFF;
                px[2] = (c >> 16) & 0xFF;
                continue;
            }
            int index = -1;
            for (size_t i = 0; i < palette.size(); ++i)
                if (palette[i] == c) index = (int)i;
            if (index < 0) return false;
            const int bit = x * depth;
            row[bit / 8] |= (BYTE)(index << (8 - depth - bit % 8));
        }
    }
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = p.width;
    ih.biHeight = p.height;
    ih.biPlanes = 1;
    ih.biBitCount = (WORD)depth;
    ih.biCompression = BI_RGB;
    ih.biClrUsed = colours;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih + colours * 4;
    fh.bfSize = fh.bfOffBits + (DWORD)rows.size();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    for (int i = 0; i < colours; ++i) {
        DWORD c = i < (int)palette.size() ? palette[i] : 0;
        RGBQUAD q = {(BYTE)(c & 0xFF), (BYTE)((c >> 8) & 0xFF), (BYTE)((c >> 16) & 0xFF), 0};
        fwrite(&q, sizeof q, 1, f);
    }
    fwrite(rows.data(), 1, rows.size(), f);
    fclose(f);
    return true;
}

ScratchDir::ScratchDir() {
    char temp[MAX_PATH], name[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    snprintf(name, sizeof name, "%sskin_test_%lu_%d", temp, GetCurrentProcessId(), ++serial);
    CreateDirectoryA(name, nullptr);
    dir_ = name;
}

ScratchDir::~ScratchDir() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(Path(fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
}

bool ScratchDir::Write(const std::string& name, const std::string& text) const {
    FILE* f = fopen(Path(name).c_str(), "wb");
    if (!f) return false;
    const bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && written;
}

bool TakeQuitRequest(int* code) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    *code = (int)msg.wParam;
    return true;
}

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // not ours to take: put it back
                PostQuitMessage((int)msg.wParam);
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
