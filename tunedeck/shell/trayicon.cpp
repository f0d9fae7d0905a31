// The tray icon: shell requests, popup menu, double click and animation.
#include "trayicon.h"

#include <string.h>
#include <new>

#include "app.h"
#include "resource.h"
#include "session_end.h"
#include "trace.h"

namespace {

// The window that menu commands and the double click's Option command go to: the
// application's main window (the hidden frame); without one, the icon's own target.
HWND CommandTarget(HWND fallback)
{
    CWinApp* app = GetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
        return app->m_pMainWnd->m_hWnd;
    return fallback;
}

} // namespace

CTrayIcon::CTrayIcon()
{
    memset(&m_data, 0, sizeof m_data);
}

CTrayIcon::CTrayIcon(CWnd* target, UINT callbackMessage, LPCSTR tip, HICON icon, UINT iconId)
    : CTrayIcon()
{
    Install(target, callbackMessage, tip, icon, iconId);
}

CTrayIcon::~CTrayIcon()
{
    Remove();
    DropIcons();
    DestroyWindow();
}

BOOL CTrayIcon::Request(DWORD message)
{
    return Shell_NotifyIconA(message, reinterpret_cast<PNOTIFYICONDATAA>(&m_data));
}

// Cut, never overrun: at most kMaxTipLength bytes, not splitting a double-byte
// character of the ANSI code page (the Chinese title is Big5).
void CTrayIcon::CopyTip(LPCSTR tip)
{
    if (!tip)
        tip = "";
    int length = 0;
    for (LPCSTR p = tip; *p;) {
        LPCSTR next = CharNextA(p);
        if (length + (next - p) > kMaxTipLength)
            break;
        length += (int)(next - p);
        p = next;
    }
    memcpy(m_data.szTip, tip, length);
    m_data.szTip[length] = '\0';
}

BOOL CTrayIcon::Install(CWnd* target, UINT callbackMessage, LPCSTR tip, HICON icon, UINT iconId)
{
    // Tray icons need shell version 4 (Windows 95, NT 4.0 and later).
    if (LOBYTE(LOWORD(GetVersion())) < 4) {
        m_enabled = FALSE;
        return FALSE;
    }

    // The own hidden window carries the animation timer; failing to make it only
    // costs the animation.
    if (!m_hWnd)
        CreateEx(0, RegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);

    m_data.cbSize = sizeof m_data;
    m_data.hWnd = (target && target->m_hWnd) ? target->m_hWnd : m_hWnd;
    m_data.uID = iconId;
    m_data.hIcon = icon;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    CopyTip(tip);

    StopRetrying();
    m_waiting = FALSE;
    m_enabled = AddOrFind();
    if (!m_enabled) {
        m_waiting = TRUE;
        m_retriesLeft = kRetryCount;
        if (m_hWnd)
            m_retryTimerId = SetTimer(s_retryEventId, kRetryPeriodMs);
    }
    WatchIcon();
    return m_enabled;
}

// An add the shell answered with failure may still have put the icon in (a busy
// log-on times the request out, and the icon turns up later); every add after that
// fails because the icon is there. A modify that the shell takes finds it there.
BOOL CTrayIcon::AddOrFind()
{
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (Request(NIM_ADD))
        return TRUE;
    return Request(NIM_MODIFY);
}

BOOL CTrayIcon::ShellAnnouncesTaskbar()
{
    struct VersionInfo { // DLLVERSIONINFO
        DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
    };
    typedef HRESULT(CALLBACK * GetVersionFn)(VersionInfo*);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    GetVersionFn get = shell ? (GetVersionFn)GetProcAddress(shell, "DllGetVersion") : nullptr;
    if (!get)
        return FALSE; // shell32 of 4.00: no DllGetVersion, no broadcast
    VersionInfo info = {sizeof info, 0, 0, 0, 0};
    if (FAILED(get(&info)))
        return FALSE;
    return info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion >= 71);
}

// One request every kWatchPeriodMs, only on the old shells; nothing runs in between.
void CTrayIcon::WatchIcon()
{
    if (m_watchTimerId != 0 || !m_hWnd || ShellAnnouncesTaskbar())
        return;
    m_watchTimerId = SetTimer(s_watchEventId, kWatchPeriodMs);
}

// One more add of the waiting icon; once the shell takes it the icon is installed
// as if Install had succeeded.
BOOL CTrayIcon::TryAddWaiting()
{
    if (!AddOrFind())
        return FALSE;
    StopRetrying();
    m_waiting = FALSE;
    m_enabled = TRUE;
    return TRUE;
}

void CTrayIcon::StopRetrying()
{
    if (m_retryTimerId != 0)
        KillTimer(m_retryTimerId);
    m_retryTimerId = 0;
}

void CTrayIcon::Remove()
{
    StopRetrying();
    if (m_watchTimerId != 0)
        KillTimer(m_watchTimerId);
    m_watchTimerId = 0;
    m_waiting = FALSE;
    if (!m_enabled)
        return;
    m_data.uFlags = 0;
    Request(NIM_DELETE);
    m_enabled = FALSE;
}

void CTrayIcon::Hide()
{
    if (!m_enabled || m_hidden)
        return;
    m_data.uFlags = NIF_ICON;
    Request(NIM_DELETE);
    m_hidden = TRUE;
}

void CTrayIcon::Show()
{
    if (!m_enabled || !m_hidden)
        return;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Request(NIM_ADD);
    m_hidden = FALSE;
}

BOOL CTrayIcon::AddAgain()
{
    if (m_waiting)
        return TryAddWaiting();
    if (!m_enabled || m_hidden)
        return FALSE;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    return Request(NIM_ADD);
}

void CTrayIcon::HideAndShow()
{
    Hide();
    Show();
}

BOOL CTrayIcon::SetIcon(HICON icon)
{
    if (!m_enabled)
        return FALSE;
    m_data.uFlags = NIF_ICON;
    m_data.hIcon = icon;
    return Request(NIM_MODIFY);
}

BOOL CTrayIcon::SetIcon(LPCSTR resourceName)
{
    return SetIcon(LoadIconA(GetResourceHandle(), resourceName));
}

BOOL CTrayIcon::SetIcon(UINT resourceId)
{
    return SetIcon(MAKEINTRESOURCEA(resourceId));
}

BOOL CTrayIcon::SetSystemIcon(LPCSTR iconName)
{
    return SetIcon(LoadIconA(nullptr, iconName));
}

BOOL CTrayIcon::SetSystemIcon(UINT iconId)
{
    return SetSystemIcon(MAKEINTRESOURCEA(LOWORD(iconId)));
}

HICON CTrayIcon::GetIcon() const
{
    return m_enabled ? m_data.hIcon : nullptr;
}

BOOL CTrayIcon::SetTip(LPCSTR tip)
{
    if (!m_enabled)
        return FALSE;
    m_data.uFlags = NIF_TIP;
    CopyTip(tip);
    return Request(NIM_MODIFY);
}

BOOL CTrayIcon::SetTip(UINT stringId)
{
    CString tip;
    if (!tip.LoadString(stringId))
        return FALSE;
    return SetTip(tip.c_str());
}

CString CTrayIcon::GetTip() const
{
    return m_enabled ? CString(m_data.szTip) : CString();
}

BOOL CTrayIcon::SetNotifyTarget(CWnd* target)
{
    if (!m_enabled)
        return FALSE;
    m_data.hWnd = target ? target->m_hWnd : nullptr;
    m_data.uFlags = 0;
    return Request(NIM_MODIFY);
}

CWnd* CTrayIcon::GetNotifyTarget() const
{
    return CWnd::FromHandlePermanent(m_data.hWnd);
}

void CTrayIcon::DropIcons()
{
    delete[] m_icons;
    m_icons = nullptr;
    m_iconCount = 0;
}

// Replaces the list with room for 'count' icons; on running out of memory shows the
// standard report and leaves the list empty (null).
HICON* CTrayIcon::NewIconList(int count)
{
    DropIcons();
    HICON* icons = new (std::nothrow) HICON[count];
    if (!icons) {
        CString caption;
        caption.LoadString(AFX_IDS_APP_TITLE);
        // Owned by whatever window of ours is active (the main dialog while it is open).
        MessageBoxA(::GetActiveWindow(), "Out of memory.", caption.c_str(), MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    m_icons = icons;
    m_iconCount = count;
    return icons;
}

BOOL CTrayIcon::SetIconRange(UINT first, UINT last)
{
    if (first > last)
        return FALSE;
    HICON* icons = NewIconList((int)(last - first) + 1);
    if (!icons)
        return FALSE;
    for (UINT id = first;; ++id) {
        *icons++ = LoadIconA(GetResourceHandle(), MAKEINTRESOURCEA(id));
        if (id == last)
            break;
    }
    return TRUE;
}

// Takes icons[0..last]; a 'last' beyond the array takes the whole array and no more.
BOOL CTrayIcon::SetIconArray(const HICON* icons, int count, int last)
{
    int taken = last < 0 ? 0 : last + 1;
    if (taken > count)
        taken = count;
    if (taken <= 0) {
        DropIcons();
        return TRUE;
    }
    HICON* list = NewIconList(taken);
    if (!list)
        return FALSE;
    memcpy(list, icons, (size_t)taken * sizeof(HICON));
    return TRUE;
}

BOOL CTrayIcon::Animate(UINT delayMs, int seconds)
{
    TraceMessage("CTrayIcon::Animate");
    StopAnimating();

    m_currentIcon = 0;
    m_startTime = CTime::GetCurrentTime();
    m_durationSeconds = seconds;
    m_savedIcon = GetIcon();

    // Without its own window a timer would tick where nobody listens.
    if (!m_hWnd)
        return FALSE;
    m_timerId = SetTimer(s_timerEventId, delayMs);
    return m_timerId != 0;
}

BOOL CTrayIcon::AdvanceAnimation()
{
    if (m_iconCount == 0)
        return FALSE;
    ++m_currentIcon;
    if (m_currentIcon >= m_iconCount)
        m_currentIcon = 0;
    return SetIcon(m_icons[m_currentIcon]);
}

BOOL CTrayIcon::StopAnimating()
{
    BOOL result = FALSE;
    if (m_timerId != 0)
        result = KillTimer(m_timerId);
    m_timerId = 0;
    if (m_savedIcon)
        SetIcon(m_savedIcon);
    m_savedIcon = nullptr;
    return result;
}

void CTrayIcon::OnTimer(UINT_PTR)
{
    LONGLONG elapsed = (CTime::GetCurrentTime() - m_startTime).GetTotalSeconds();
    if (m_durationSeconds > 0 && elapsed > m_durationSeconds)
        StopAnimating();
    else
        AdvanceAnimation();
}

// The icon's menu resource, and its first popup (null when either is missing; then
// nothing stays loaded).
HMENU CTrayIcon::LoadPopup(HMENU* loaded) const
{
    *loaded = LoadMenuA(GetResourceHandle(), MAKEINTRESOURCEA(m_data.uID));
    if (!*loaded)
        return nullptr;
    HMENU popup = GetSubMenu(*loaded, 0);
    if (!popup) {
        DestroyMenu(*loaded);
        *loaded = nullptr;
    }
    return popup;
}

BOOL CTrayIcon::SetDefaultEntry(UINT entry, BOOL byPosition)
{
    if (entry == m_defaultEntry && byPosition == m_defaultByPosition)
        return TRUE;
    m_defaultEntry = entry;
    m_defaultByPosition = byPosition;

    HMENU menu;
    HMENU popup = LoadPopup(&menu);
    if (!popup)
        return FALSE;
    SetMenuDefaultItem(popup, m_defaultEntry, m_defaultByPosition);
    DestroyMenu(menu);
    return TRUE;
}

void CTrayIcon::GetDefaultEntry(UINT& entry, BOOL& byPosition) const
{
    entry = m_defaultEntry;
    byPosition = m_defaultByPosition;
}

LRESULT CTrayIcon::HandleTrayMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_data.uID)
        return 0;

    HWND target = CommandTarget(m_data.hWnd);
    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP: {
        HMENU menu;
        HMENU popup = LoadPopup(&menu);
        if (!popup)
            return 0;
        SetMenuDefaultItem(popup, m_defaultEntry, m_defaultByPosition);
        POINT cursor;
        GetCursorPos(&cursor);
        // Foreground owner plus the WM_NULL after the menu: the popup closes on a
        // click elsewhere and opens again at the next right click.
        ::SetForegroundWindow(target);
        TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, target, nullptr);
        ::PostMessageA(target, WM_NULL, 0, 0);
        DestroyMenu(menu);
        break;
    }
    case WM_LBUTTONDBLCLK:
        if (::IsIconic(target))
            ::ShowWindow(target, SW_SHOWNORMAL);
        ::BringWindowToTop(target);
        ::PostMessageA(target, WM_COMMAND, ID_OPTION, 0);
        break;
    default:
        break;
    }
    return 1;
}

LRESULT CTrayIcon::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == s_retryEventId) {
        if (m_waiting && !TryAddWaiting() && --m_retriesLeft <= 0)
            StopRetrying(); // still waiting: a new taskbar may take it
        return 0;
    }
    if (message == WM_TIMER && wParam == s_watchEventId) {
        // Flags 0: asks only whether the shell still knows the icon.
        if (m_waiting) {
            TryAddWaiting();
        } else if (m_enabled && !m_hidden) {
            m_data.uFlags = 0;
            if (!Request(NIM_MODIFY))
                AddAgain();
        }
        return 0;
    }
    // This window is top-level too: a log-off may reach it first.
    LRESULT answer;
    if (AnswerSessionMessage(message, wParam, lParam, &answer))
        return answer;
    if (message == WM_TIMER) {
        OnTimer(wParam);
        return 0;
    }
    if (message != 0 && message == m_data.uCallbackMessage)
        return HandleTrayMessage(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}
