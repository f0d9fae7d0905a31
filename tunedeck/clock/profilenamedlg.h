// CProfileNameDlg: asks for the name under which the slider pair is saved. The caller
// ignores the modal result and reads m_bAccepted and m_szName afterwards.
#pragma once
#include "controls.h"
#include "dialog.h"
#include "profile_store.h"

class CProfileNameDlg : public CDialog {
public:
    explicit CProfileNameDlg(CWnd* parent = nullptr);

    char m_szName[PROFILE_NAME_MAX + 1];   // as typed, at most 50 characters, always terminated
    CEdit m_editName;              // control 1010
    bool m_bAccepted = false;      // closed with OK (false also when a quit ended it)
    CString m_strLabel;            // text of static 1019

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
};
