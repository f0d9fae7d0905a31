// traceview.exe [file]: the trace viewer. Owns the top-level window of class
// "VevTraceWindow" that the libraries' TraceMessage looks for, lists every line it
// receives, and appends the received bytes unchanged to [file] when one is named.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "trace.h"

#define MAX_LIST_LINES 5000

static HWND list;
static FILE* out;

static void AddLine(const char* data, DWORD size)
{
    if (out) {
        fwrite(data, 1, size, out);
        fflush(out);
    }
    char line[TRACE_BUFFER_SIZE];
    DWORD n = size < sizeof line - 1 ? size : sizeof line - 1;
    memcpy(line, data, n);
    while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == '\n')) n--;
    line[n] = '\0';
    for (char* p = line; *p; p++)
        if (*p == '\n' || *p == '\r') *p = ' ';  // one list row per message
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) >= MAX_LIST_LINES)
        SendMessageA(list, LB_DELETESTRING, 0, 0);
    LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
    SendMessageA(list, LB_SETTOPINDEX, (WPARAM)row, 0);
}

static LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                               0, 0, 0, 0, window, NULL, NULL, NULL);
        SendMessageA(list, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), 0);
        return 0;
    case WM_SIZE:
        MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_COPYDATA: {
        const COPYDATASTRUCT* record = (const COPYDATASTRUCT*)lParam;
        if (record->dwData != TRACE_COPYDATA_WORD) return FALSE;
        AddLine((const char*)record->lpData, record->cbData);
        return TRUE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    if (commandLine && *commandLine) {
        char path[MAX_PATH];
        lstrcpynA(path, commandLine, sizeof path);
        char* p = path;
        if (*p == '"') {
            p++;
            char* end = strchr(p, '"');
            if (end) *end = '\0';
        }
        out = fopen(p, "ab");
        if (!out) {
            MessageBoxA(NULL, "Cannot open the trace file.", "Trace viewer", MB_OK | MB_ICONERROR);
            return 1;
        }
    }

    WNDCLASSA wc = {0};
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = TRACE_WINDOW_CLASS;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, TRACE_WINDOW_CLASS, "Zyk Velotune trace",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 400,
                                  NULL, NULL, instance, NULL);
    ShowWindow(window, show);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (out) fclose(out);
    return (int)msg.wParam;
}
