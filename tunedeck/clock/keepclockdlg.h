// CKeepClockDlg: asks, after a new clock pair has reached the card, whether to keep
// it. IDOK keeps it; IDCANCEL (button, Escape, close box) puts the committed pair
// back. It waits for the user without limit: the card runs the new pair meanwhile.
#pragma once
#include "dialog.h"

class CKeepClockDlg : public CDialog {
public:
    explicit CKeepClockDlg(CWnd* parent = nullptr);

    CString m_strMessage;   // text of static 1018

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
};
