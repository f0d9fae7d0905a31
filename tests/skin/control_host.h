// A top-level window bound to the framework, standing in for the skinned dialog: it
// reflects notifications to its controls, paints one known colour as its face and
// records the commands it receives.
#pragma once
#include <windows.h>

#include <vector>

#include "wnd.h"

class ControlHost : public CWnd {
public:
    explicit ControlHost(COLORREF face, int width = 320, int height = 200);
    ~ControlHost() override;

    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Command> commands;
    COLORREF face;

    // A child control of `className` with this id, style and place (not bound yet).
    HWND AddChild(LPCSTR className, DWORD style, int id, int x, int y, int w, int h,
                  LPCSTR text = "");

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
