#include "keepclockdlg.h"

#include <stdio.h>

#include "card_clocks.h"
#include "language.h"
#include "session_end.h"
#include "work_area.h"
#include "resource.h"

namespace {
const UINT_PTR kCountdownTimer = 1;
const DWORD kTotalMs = KEEP_CLOCK_SECONDS * 1000;
}  // namespace

CKeepClockDlg::CKeepClockDlg(CWnd* parent) : CDialog(IDD_KEEP_CLOCK, parent) {}

int CKeepClockDlg::SecondsLeft(DWORD elapsedMs, DWORD totalMs) {
    if (elapsedMs >= totalMs) return 0;
    return static_cast<int>((totalMs - elapsedMs + 999) / 1000);
}

DWORD CKeepClockDlg::NextTickMs(DWORD elapsedMs, DWORD totalMs) {
    if (elapsedMs >= totalMs) return 0;
    DWORD toSecond = 1000 - elapsedMs % 1000;
    DWORD toEnd = totalMs - elapsedMs;
    return toSecond < toEnd ? toSecond : toEnd;
}

void CKeepClockDlg::RevertOnSessionEnd(int engine, int memory) {
    m_bRevertOnEnd = true;
    m_nRevertEngine = engine;
    m_nRevertMemory = memory;
}

// Runs inside the session-end or suspend message: the card must be back on the
// committed pair when the handler returns. The question then ends as No.
void CKeepClockDlg::SessionEnding(void* self) {
    CKeepClockDlg* question = static_cast<CKeepClockDlg*>(self);
    if (!question->IsModalRunning()) return;  // answered already: the answer stands
    question->m_nSessionRevert = ApplyClocks(question->m_nRevertEngine, question->m_nRevertMemory) ? 1 : 0;
    question->KillTimer(kCountdownTimer);
    question->EndDialog(IDCANCEL);
}

void CKeepClockDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_STATIC_KEEPCLOCK, m_strMessage);
}

// The template carries English texts; the system's language replaces them all.
BOOL CKeepClockDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(str_Confirmation);
    SetDlgItemText(IDOK, str_OK);
    SetDlgItemText(IDCANCEL, str_Cancel);
    m_strMessage = str_KeepClockMsg;
    UpdateData(FALSE);

    // The count follows the clock, not the number of ticks: a late tick shortens the
    // next wait instead of lengthening the question.
    m_dwStart = ::GetTickCount();
    ShowSecondsLeft(KEEP_CLOCK_SECONDS);
    SetTimer(kCountdownTimer, NextTickMs(0, kTotalMs));
    KeepWindowInWorkArea(m_hWnd);  // placed by its owner; small screens too
    if (m_bRevertOnEnd) SetSessionEndAction(&CKeepClockDlg::SessionEnding, this);
    return TRUE;
}

void CKeepClockDlg::ShowSecondsLeft(int seconds) {
    if (seconds == m_nShown) return;
    m_nShown = seconds;
    char text[160];
    snprintf(text, sizeof text, str_RevertCountdown, seconds);
    SetDlgItemText(IDC_STATIC_KEEPCLOCK_COUNTDOWN, text);
}

// No answer in time counts as No.
void CKeepClockDlg::OnCountdownTick() {
    const DWORD elapsed = ::GetTickCount() - m_dwStart;
    const int left = SecondsLeft(elapsed, kTotalMs);
    if (left == 0) {
        KillTimer(kCountdownTimer);
        OnCancel();
        return;
    }
    ShowSecondsLeft(left);
    SetTimer(kCountdownTimer, NextTickMs(elapsed, kTotalMs));
}

LRESULT CKeepClockDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kCountdownTimer) {
        if (IsModalRunning()) OnCountdownTick();
        return 0;
    }
    LRESULT answer;
    if (AnswerSessionMessage(message, wParam, lParam, &answer)) return answer;
    if (message == WM_DESTROY) {
        KillTimer(kCountdownTimer);
        ClearSessionEndAction(this);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
