// The dialog the Option command runs: the main control dialog.
#pragma once

#if __has_include("maindlg.h")
#include "maindlg.h"
typedef CTarnwell2Dlg COptionDialog;
#else
// Until the main dialog is part of the build: its bare template under the program's
// title, so the shell can be run and tested end to end.
#include "dialog.h"
#include "language.h"
#include "resource.h"

class COptionDialog : public CDialog {
public:
    COptionDialog() : CDialog(IDD_TARNWELL2_DIALOG, nullptr) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowText(str_Title);
        return TRUE;
    }
};
#endif
