// CTrayIcon: one icon with a tooltip in the taskbar's tray area, its popup menu,
// the double click that opens the main dialog, and an optional animation.
//
// The object owns a small hidden window: the animation timer ticks on it, and it
// receives the icon's callback messages when no other target window is given.
// While the icon is not installed (Install failed or never ran, or Remove ran) every
// operation that would send a shell request does nothing or returns FALSE.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "text.h"
#include "wnd.h"

class CTrayIcon : public CWnd {
public:
    // Event id of the animation timer.
    static const UINT s_timerEventId = 4567;
    // A refused add (the taskbar not up yet at log-on, or the shell timing out) is
    // tried again on this timer, every kRetryPeriodMs for kRetryCount times (about
    // five minutes), and at every re-created taskbar.
    static const UINT s_retryEventId = 4568;
    static const UINT kRetryPeriodMs = 2000;
    static const int kRetryCount = 150;
    // Shells older than 4.71 (NT 4.0 and 95 without the desktop update) never tell
    // a restarted taskbar to their programs: there a slow timer asks every
    // kWatchPeriodMs whether the icon is still in the tray and adds it back if not.
    static const UINT s_watchEventId = 4569;
    static const UINT kWatchPeriodMs = 15000;
    // Longest tooltip the record holds; longer texts are cut (at a character boundary).
    static const int kMaxTipLength = 63;

    CTrayIcon();
    CTrayIcon(CWnd* target, UINT callbackMessage, LPCSTR tip, HICON icon, UINT iconId);
    ~CTrayIcon() override;

    // Adds the icon. The callback messages go to 'target' (or, with none, to the
    // object's own window); 'iconId' is also the resource id of the popup menu.
    // FALSE when the shell refused it: the icon then waits (IsWaiting) and is added
    // by the retry timer or AddAgain; until then it counts as not installed.
    BOOL Install(CWnd* target, UINT callbackMessage, LPCSTR tip, HICON icon, UINT iconId);
    void Remove();
    void Hide();
    void Show();
    void HideAndShow();
    // The taskbar was re-created (its tray starts empty): the stored record goes out
    // again with an add request, the same window, id, callback, icon and tooltip. A
    // waiting icon is installed when the shell takes it. Does nothing while the icon
    // is hidden, removed or never installed. The shell's answer.
    BOOL AddAgain();
    // Install was refused and the icon has not been added since.
    BOOL IsWaiting() const { return m_waiting; }
    // The shell does not broadcast "TaskbarCreated", so the icon is watched instead.
    BOOL IsWatching() const { return m_watchTimerId != 0; }
    // Whether this system's shell announces a re-created taskbar (shell32 4.71 or
    // later, told by its DllGetVersion).
    static BOOL ShellAnnouncesTaskbar();

    BOOL SetIcon(HICON icon);
    BOOL SetIcon(LPCSTR resourceName);
    BOOL SetIcon(UINT resourceId);
    BOOL SetSystemIcon(LPCSTR iconName);
    BOOL SetSystemIcon(UINT iconId);
    HICON GetIcon() const;

    BOOL SetTip(LPCSTR tip);
    BOOL SetTip(UINT stringId);
    CString GetTip() const;

    BOOL SetNotifyTarget(CWnd* target);
    CWnd* GetNotifyTarget() const;

    // Animation frames: icon resources first..last, or icons[0..last] of 'count'.
    BOOL SetIconRange(UINT first, UINT last);
    BOOL SetIconArray(const HICON* icons, int count, int last);
    BOOL Animate(UINT delayMs, int seconds);
    BOOL AdvanceAnimation();
    BOOL StopAnimating();

    // The popup menu's default entry, applied each time the menu is shown.
    BOOL SetDefaultEntry(UINT entry, BOOL byPosition);
    void GetDefaultEntry(UINT& entry, BOOL& byPosition) const;

    // wParam: icon id; low word of lParam: the mouse message. 0 when the message
    // is not for this icon (or its menu cannot be loaded), else 1.
    virtual LRESULT HandleTrayMessage(WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnTimer(UINT_PTR eventId);

private:
    // The shell's request record in the form of shell version 4 (88 bytes for a
    // 32-bit program): what every request sends.
    struct NotifyRecord {
        DWORD cbSize;
        HWND hWnd;
        UINT uID;
        UINT uFlags;
        UINT uCallbackMessage;
        HICON hIcon;
        CHAR szTip[kMaxTipLength + 1];
    };
    static_assert(sizeof(NotifyRecord) == NOTIFYICONDATAA_V1_SIZE, "shell v4 record layout");

    BOOL Request(DWORD message);
    BOOL AddOrFind();
    BOOL TryAddWaiting();
    void WatchIcon();
    void StopRetrying();
    void CopyTip(LPCSTR tip);
    HICON* NewIconList(int count);
    void DropIcons();
    HMENU LoadPopup(HMENU* loaded) const;

    BOOL m_enabled = FALSE;
    BOOL m_hidden = FALSE;
    BOOL m_waiting = FALSE;
    UINT_PTR m_retryTimerId = 0;
    UINT_PTR m_watchTimerId = 0;
    int m_retriesLeft = 0;
    NotifyRecord m_data;
    HICON* m_icons = nullptr;
    int m_iconCount = 0;
    UINT_PTR m_timerId = 0;
    int m_currentIcon = 0;
    CTime m_startTime;
    int m_durationSeconds = 0;
    HICON m_savedIcon = nullptr;
    UINT m_defaultEntry = 0;
    BOOL m_defaultByPosition = TRUE;
};
