// Orbview.exe: the demonstration program that the Test button runs for a few seconds
// on new clocks. It draws the orb scene about 60 times a second until it is ended.
// Its window takes the position and size from the start-up information the starting
// program passes (CW_USEDEFAULT lets the system apply them).
#include <windows.h>

#include <stdio.h>

#include "scene.h"

namespace {

const char kClassName[] = "OrbviewWindow";
const UINT_PTR kFrameTimer = 1;

// The back buffer: a top-down 32-bit DIB section selected into a memory context.
struct BackBuffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    orbview::Pixel* bits = nullptr;
    int width = 0, height = 0;

    void Release() {
        if (dc) {
            SelectObject(dc, previous);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
        *this = BackBuffer();
    }

    bool Resize(HWND hwnd, int w, int h) {
        Release();
        if (w <= 0 || h <= 0) return false;
        HDC screen = GetDC(hwnd);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(hwnd, screen);
        if (!dc) return false;
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;  // top-down: row 0 first in memory
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        if (!bitmap) {
            DeleteDC(dc);
            dc = nullptr;
            return false;
        }
        previous = SelectObject(dc, bitmap);
        bits = static_cast<orbview::Pixel*>(p);
        width = w;
        height = h;
        return true;
    }
};

BackBuffer g_buffer;
orbview::Scene g_scene;
DWORD g_startTick = 0;
// Frames per second, measured over the last second, shown in a corner.
int g_frames = 0, g_fps = 0;
DWORD g_fpsTick = 0;

void RenderFrame(HWND hwnd) {
    if (!g_buffer.bits) return;
    GdiFlush();  // GDI must be done with the section before we write its pixels
    double t = (GetTickCount() - g_startTick) / 1000.0;
    g_scene.Render(g_buffer.bits, g_buffer.width, g_buffer.height, g_buffer.width, t);

    ++g_frames;
    DWORD now = GetTickCount();
    if (now - g_fpsTick >= 1000) {
        g_fps = g_frames * 1000 / static_cast<int>(now - g_fpsTick);
        g_frames = 0;
        g_fpsTick = now;
    }
    char text[64];
    int n = snprintf(text, sizeof(text), "Orbview  %d fps", g_fps);
    SetBkMode(g_buffer.dc, TRANSPARENT);
    SetTextColor(g_buffer.dc, RGB(0, 0, 0));
    TextOutA(g_buffer.dc, 9, 9, text, n);
    SetTextColor(g_buffer.dc, RGB(230, 230, 255));
    TextOutA(g_buffer.dc, 8, 8, text, n);
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        SetTimer(hwnd, kFrameTimer, 16, nullptr);
        return 0;
    case WM_SIZE:
        g_buffer.Resize(hwnd, LOWORD(lp), HIWORD(lp));
        RenderFrame(hwnd);
        return 0;
    case WM_TIMER:
        if (wp == kFrameTimer) RenderFrame(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // every pixel comes from the back buffer
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (g_buffer.dc) BitBlt(dc, 0, 0, g_buffer.width, g_buffer.height, g_buffer.dc, 0, 0, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(hwnd, kFrameTimer);
        g_buffer.Release();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    g_startTick = g_fpsTick = GetTickCount();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;

    HWND hwnd = CreateWindowExA(0, kClassName, "Orbview", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
