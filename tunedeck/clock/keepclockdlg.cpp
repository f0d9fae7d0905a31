#include "keepclockdlg.h"

#include "language.h"
#include "resource.h"

CKeepClockDlg::CKeepClockDlg(CWnd* parent) : CDialog(IDD_KEEP_CLOCK, parent) {}

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
    return TRUE;
}
