// CKeepClockDlg: asks, after a new clock pair has reached the card, whether to keep
// it. IDOK keeps it; IDCANCEL (button, Escape, close box) puts the committed pair
// back. A new pair may leave the screen unreadable, so the question does not wait
// for ever: without an answer within KEEP_CLOCK_SECONDS it ends with IDCANCEL by
// itself, showing the seconds left under its text meanwhile.
#pragma once
#include "dialog.h"

enum { KEEP_CLOCK_SECONDS = 15 };

class CKeepClockDlg : public CDialog {
public:
    explicit CKeepClockDlg(CWnd* parent = nullptr);

    CString m_strMessage;   // text of static 1018

    // Seconds left, rounded up, when `elapsedMs` of `totalMs` have passed (0 at the
    // end), and the time to the next whole second (the next tick).
    static int SecondsLeft(DWORD elapsedMs, DWORD totalMs);
    static DWORD NextTickMs(DWORD elapsedMs, DWORD totalMs);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCountdownTick();
    void ShowSecondsLeft(int seconds);

    DWORD m_dwStart = 0;     // GetTickCount when the question appeared
    int m_nShown = -1;       // seconds on display
};
