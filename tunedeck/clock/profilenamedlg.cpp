#include "profilenamedlg.h"

#include <string.h>

#include "language.h"
#include "work_area.h"
#include "resource.h"

CProfileNameDlg::CProfileNameDlg(CWnd* parent) : CDialog(IDD_PROFILE_NAME, parent) {
    memset(m_szName, 0, sizeof(m_szName));
}

void CProfileNameDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EDIT_PROFILE_NAME, m_editName);
    DDX_Text(dx, IDC_STATIC_SAVEAS, m_strLabel);
}

BOOL CProfileNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(str_Profile);
    SetDlgItemText(IDOK, str_OK);
    SetDlgItemText(IDCANCEL, str_Cancel);
    m_strLabel = str_SaveAs;
    UpdateData(FALSE);
    KeepWindowInWorkArea(m_hWnd);  // placed by its owner; small screens too
    return TRUE;
}

// The name is taken as typed; whether it can be used is the caller's decision.
void CProfileNameDlg::OnOK() {
    memset(m_szName, 0, sizeof(m_szName));
    m_editName.GetLine(0, m_szName, PROFILE_NAME_MAX);
    m_bAccepted = true;
    CDialog::OnOK();
}

void CProfileNameDlg::OnCancel() {
    m_bAccepted = false;
    EndDialog(IDCANCEL);
}
