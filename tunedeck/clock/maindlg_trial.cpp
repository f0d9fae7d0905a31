// Test: the pending pair on the card while the demonstration program runs, then the
// keep-or-revert question; the dialog stays open either way.
#include "card_clocks.h"
#include "keepclockdlg.h"
#include "language.h"
#include "maindlg.h"
#include "demo_run.h"

void CTarnwell2Dlg::OnButtonTest() {
    char commandLine[MAX_PATH + 2];
    bool haveProgram = OwnDemoCommandLine(commandLine, sizeof(commandLine));

    // A pair that did not reach the card is said so before the demonstration.
    if (!ApplyClocks(m_nEngineClock, m_nMemoryClock))
        WarnCardNotReached(m_hWnd, str_NewPairNotReachedMsg);
    // Blocks for up to five seconds; a program that cannot start is not reported.
    if (haveProgram) RunDemoProgram(commandLine);

    CKeepClockDlg question(this);  // owned by the main dialog, above it however activation went
    question.RevertOnSessionEnd(m_nSavedEngineClock, m_nSavedMemoryClock);
    INT_PTR answer = question.DoModal();
    if (answer == IDOK) {
        // What the synthesiser really runs becomes the committed and stored pair; a
        // read-back in doubt says nothing of what it runs, so nothing is stored then.
        int engine = 0, memory = 0;
        if (ReadClocks(&engine, &memory)) {
            m_nEngineClock = engine;
            m_nMemoryClock = memory;
            m_nSavedEngineClock = m_nEngineClock;
            m_nSavedMemoryClock = m_nMemoryClock;
            StoreCurrentPair(m_nEngineClock, m_nMemoryClock);
            SetSliders(m_nEngineClock, m_nMemoryClock);
        } else {
            WarnCardNotReached(m_hWnd, str_CardNotReachedMsg);
        }
    } else if (answer == IDCANCEL) {
        RevertToCommitted(question);
    }
    EnableButton(IDC_BUTTON_TEST, FALSE);
    InvalidateRect(&m_rcEngineText, TRUE);
    InvalidateRect(&m_rcMemoryText, TRUE);
}
