#include "tray_recorder.h"

#include <gtest/gtest.h>

void ExpectTheSameAdd(const TrayRequest& first, const TrayRequest& again)
{
    EXPECT_EQ((DWORD)NIM_ADD, again.message);
    EXPECT_EQ(first.size, again.size);
    EXPECT_EQ(first.window, again.window);
    EXPECT_EQ(first.id, again.id);
    EXPECT_EQ(first.flags, again.flags);
    EXPECT_EQ(first.callback, again.callback);
    EXPECT_EQ(first.icon, again.icon);
    EXPECT_EQ(first.tip, again.tip);
}

std::vector<TrayRequest> TrayRecorder::s_requests;
BOOL TrayRecorder::s_answer = TRUE;
DWORD TrayRecorder::s_version = 0;
bool TrayRecorder::s_model = false;
bool TrayRecorder::s_timeOutNextAdd = false;
std::vector<std::pair<HWND, UINT>> TrayRecorder::s_held;

bool TrayRecorder::Holds(HWND window, UINT id) const
{
    for (const auto& icon : s_held)
        if (icon.first == window && icon.second == id)
            return true;
    return false;
}

size_t TrayRecorder::Count(DWORD message) const
{
    size_t n = 0;
    for (const TrayRequest& r : s_requests)
        n += r.message == message;
    return n;
}

TrayRecorder::TrayRecorder()
    : m_notify("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(&TrayRecorder::Record)),
      m_version("kernel32.dll", "GetVersion", reinterpret_cast<void*>(&TrayRecorder::Version))
{
    s_requests.clear();
    s_answer = TRUE;
    s_model = false;
    s_timeOutNextAdd = false;
    s_held.clear();
    s_version = m_version.Original<DWORD(WINAPI*)()>()();
}

TrayRecorder::~TrayRecorder()
{
    s_requests.clear();
}

void TrayRecorder::ReportVersion(DWORD version)
{
    s_version = version;
}

BOOL WINAPI TrayRecorder::Record(DWORD message, PNOTIFYICONDATAA data)
{
    TrayRequest r;
    r.message = message;
    r.size = data->cbSize;
    r.window = data->hWnd;
    r.id = data->uID;
    r.flags = data->uFlags;
    r.callback = data->uCallbackMessage;
    r.icon = data->hIcon;
    r.tip.assign(data->szTip, strnlen(data->szTip, sizeof data->szTip));
    s_requests.push_back(r);
    if (!s_model)
        return s_answer;
    const std::pair<HWND, UINT> icon(data->hWnd, data->uID);
    bool held = false;
    for (auto it = s_held.begin(); it != s_held.end(); ++it) {
        if (*it != icon)
            continue;
        held = true;
        if (message == NIM_DELETE) {
            s_held.erase(it);
            return TRUE;
        }
        break;
    }
    if (message == NIM_ADD) {
        if (held)
            return FALSE;
        s_held.push_back(icon);
        if (s_timeOutNextAdd) {
            s_timeOutNextAdd = false;
            return FALSE;
        }
        return TRUE;
    }
    return held;
}

DWORD WINAPI TrayRecorder::Version()
{
    return s_version;
}

std::vector<HICON> TrayRecorder::ModifiedIcons() const
{
    std::vector<HICON> icons;
    for (const TrayRequest& r : s_requests)
        if (r.message == NIM_MODIFY && (r.flags & NIF_ICON))
            icons.push_back(r.icon);
    return icons;
}
