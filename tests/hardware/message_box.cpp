#include "message_box.h"
#include <windows.h>

namespace {
struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (owner == search->process && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
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
    while (!stop_) {
        Search search = {GetCurrentProcessId(), nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // The message text is the static control with id 0xFFFF.
            SeenMessageBox box = {TextOf(search.found), TextOf(GetDlgItem(search.found, 0xFFFF)),
                                  GetWindow(search.found, GW_OWNER)};
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(box);
            }
            SendMessageA(search.found, WM_COMMAND, IDOK, 0);
            while (IsWindow(search.found) && !stop_) Sleep(10);
        }
        Sleep(20);
    }
}
