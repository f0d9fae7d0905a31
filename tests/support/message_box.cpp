#include "message_box.h"

#include <windows.h>

namespace {

HWND VisibleBoxOf(DWORD process)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

std::string TextOf(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer() : thread_([this] { Watch(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void MessageBoxAnswerer::Watch()
{
    const DWORD process = GetCurrentProcessId();
    while (!stop_) {
        HWND box = VisibleBoxOf(process);
        if (!box) {
            Sleep(20);
            continue;
        }
        // The message text is the static control with id 0xFFFF.
        SeenMessageBox seen = {TextOf(box), TextOf(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER)};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(seen);
        }
        // Posted rather than sent: the box's thread may be busy, and the watcher must
        // still see the end of the test.
        SendNotifyMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
        for (int i = 0; i < 250 && !stop_ && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
    }
}
