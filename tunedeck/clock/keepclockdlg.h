// CKeepClockDlg: asks, after a new clock pair has reached the card, whether to keep
// it. IDOK keeps it; IDCANCEL (button, Escape, close box) puts the committed pair
// back. A new pair may leave the screen unreadable, so the question does not wait
// for ever: without an answer within KEEP_CLOCK_SECONDS it ends with IDCANCEL by
// itself, showing the seconds left under its text meanwhile. A log-off, shut-down or
// suspend while it is open may end the program (or stop the machine) before anyone
// answers: given the committed pair, the question puts it back on the card at once,
// before the system goes on, and then ends as No (see session_end.h).
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

    // The pair a session end or suspend puts back while the question is open.
    void RevertOnSessionEnd(int engine, int memory);
    // Whether such an ending already put it back (the answer is then IDCANCEL, and
    // the card must not be programmed again), and whether the card took it.
    bool RevertedAtSessionEnd() const { return m_nSessionRevert >= 0; }
    bool SessionRevertReached() const { return m_nSessionRevert > 0; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCountdownTick();
    void ShowSecondsLeft(int seconds);
    static void SessionEnding(void* self);

    DWORD m_dwStart = 0;     // GetTickCount when the question appeared
    int m_nShown = -1;       // seconds on display
    bool m_bRevertOnEnd = false;
    int m_nRevertEngine = 0, m_nRevertMemory = 0;
    int m_nSessionRevert = -1;  // -1: no session end; 0: revert failed; 1: card took it
};
