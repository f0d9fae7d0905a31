// Modal dialogs from the program's dialog templates, with data exchange.
//
// DoModal creates the dialog modeless from its template and runs its own message loop
// until EndDialog; the owner is disabled meanwhile. The owner is the parent given to
// the constructor or, without one, the active window of this thread, or else the
// application's main window (or the last active popup it owns); a child window is
// replaced by its top-level parent.
//
// WM_INITDIALOG calls OnInitDialog. CDialog::OnInitDialog runs UpdateData(FALSE), so an
// override calls the base first ("the dialog initialisation") and then does its own.
// IDOK / IDCANCEL commands (buttons, Enter, Escape, the close box) call OnOK / OnCancel.
//
// A WM_QUIT that reaches the dialog's loop ends it (DoModal returns -1) and is posted
// again with the same code, so the application's loop ends too.
#pragma once
#include <windows.h>
#include "wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;   // TRUE: controls -> members; FALSE: members -> controls
    CDialog* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
    void Fail() { m_bFailed = TRUE; }
};

// Binds control 'id' of the dialog to 'control' (SubclassDlgItem) if it is not bound yet;
// a control that does not exist fails the exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// The window text of control 'id' and 'value'.
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // IDOK, IDCANCEL or the value given to EndDialog; -1 when the dialog could not be
    // created or a quit request ended the loop.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();   // base: UpdateData(FALSE); TRUE
    virtual void OnOK();           // base: UpdateData(TRUE), then EndDialog(IDOK) if it succeeded
    virtual void OnCancel();       // base: EndDialog(IDCANCEL)
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(UINT id, int code) override;   // IDOK -> OnOK, IDCANCEL -> OnCancel

    BOOL IsModalRunning() const { return m_bContinueModal; }

protected:
    HWND CreateFromTemplate(HWND owner);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    INT_PTR m_nModalResult = -1;
    BOOL m_bContinueModal = FALSE;
};
