#include "control_host.h"

ControlHost::ControlHost(COLORREF faceColour, int width, int height) : face(faceColour) {
    EnsureCommonControls();
    CreateEx(0, RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW)), "skin host",
             WS_POPUP | WS_VISIBLE, 30, 30, width, height, nullptr, nullptr);
    UpdateWindow();
}

ControlHost::~ControlHost() {
    if (IsWindow()) DestroyWindow();
}

HWND ControlHost::AddChild(LPCSTR className, DWORD style, int id, int x, int y, int w, int h,
                           LPCSTR text) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

LRESULT ControlHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        commands.push_back(Command{wParam, lParam});
        return 0;
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HBRUSH brush = CreateSolidBrush(face);
        FillRect((HDC)wParam, &rc, brush);
        DeleteObject(brush);
        return 1;
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
