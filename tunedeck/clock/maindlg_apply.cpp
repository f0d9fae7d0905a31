// OK and Cancel of the main dialog: a new pair reaches the card only with the
// user's confirmation, and is taken back when the user declines.
#include "card_clocks.h"
#include "keepclockdlg.h"
#include "language.h"
#include "maindlg.h"

void CTarnwell2Dlg::StoreCurrentPair(int engine, int memory) {
    Store().StoreCurrent(ClockPair{engine, memory});
}

// The sliders clamp the pair to their ranges.
void CTarnwell2Dlg::SetSliders(int engine, int memory) {
    m_sliderEngine.SetPos(engine);
    m_sliderMemory.SetPos(memory);
}

// The committed pair back on the card and on the sliders (with a warning when the
// card could not be reached). A log-off or suspend during the question has already
// programmed it; once is enough.
void CTarnwell2Dlg::RevertToCommitted(const CKeepClockDlg& question) {
    int reached = question.RevertedAtSessionEnd()
                      ? question.SessionRevertReached()
                      : ApplyClocks(m_nSavedEngineClock, m_nSavedMemoryClock);
    m_nEngineClock = m_nSavedEngineClock;
    m_nMemoryClock = m_nSavedMemoryClock;
    SetSliders(m_nEngineClock, m_nMemoryClock);
    Invalidate(TRUE);
    if (!reached) WarnCardNotReached(m_hWnd, str_CardNotReachedMsg);
}

void CTarnwell2Dlg::OnButtonOk() {
    if (PendingIsCommitted()) {
        CDialog::OnOK();  // nothing to apply
        return;
    }
    // A pair that did not reach the card is said so before the question.
    if (!ApplyClocks(m_nEngineClock, m_nMemoryClock))
        WarnCardNotReached(m_hWnd, str_NewPairNotReachedMsg);
    CKeepClockDlg question(this);  // owned by the main dialog, above it however activation went
    question.RevertOnSessionEnd(m_nSavedEngineClock, m_nSavedMemoryClock);
    INT_PTR answer = question.DoModal();
    if (answer == IDOK) {
        StoreCurrentPair(m_nEngineClock, m_nMemoryClock);
        EndDialog(IDOK);
    } else if (answer == IDCANCEL) {
        RevertToCommitted(question);
        EndDialog(IDCANCEL);
    }
    // Any other answer (a quit request ended the question): the card keeps the pair.
    EnableButton(IDC_BUTTON_TEST, FALSE);
}

// The card keeps whatever it runs; the registry is not touched.
void CTarnwell2Dlg::OnButtonCancel() { EndDialog(IDCANCEL); }
