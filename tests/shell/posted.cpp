#include "posted.h"

std::vector<MSG> TakePosted(HWND window)
{
    std::vector<MSG> posted;
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE | PM_NOYIELD))
        if (msg.message != WM_PAINT && msg.message != WM_TIMER)
            posted.push_back(msg);
    return posted;
}
