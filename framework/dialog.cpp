// Modal dialogs and data exchange.
#include "dialog.h"
#include "app.h"

namespace {

// The dialog manager's own procedure does nothing: the dialog window is bound to its
// object (the window procedure is replaced), so every message reaches WindowProc
// first, and Default() hands it to the dialog manager (DefDlgProc), which calls this
// procedure and then does the standard dialog processing.
INT_PTR CALLBACK NullDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The window to own a modal dialog, as the dialog framework of the platform chooses it.
HWND ChooseOwner(CWnd* parent)
{
    HWND owner = parent ? parent->m_hWnd : ::GetActiveWindow();
    bool fromMain = false;
    if (!owner) {
        owner = GetMainWnd() ? GetMainWnd()->m_hWnd : nullptr;
        fromMain = true;
    }
    // A popup cannot be owned by a child window.
    while (owner && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD))
        owner = ::GetParent(owner);
    if (owner && fromMain) owner = ::GetLastActivePopup(owner);
    if (owner == ::GetDesktopWindow()) owner = nullptr;
    return owner;
}

}  // namespace

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd) return;
    if (!control.SubclassDlgItem((UINT)id, dx->m_pDlgWnd)) dx->Fail();
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND item = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!item) {
        dx->Fail();
        return;
    }
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextA(item, value);
        return;
    }
    int length = ::GetWindowTextLengthA(item);
    LPSTR buffer = value.GetBuffer(length);
    int got = ::GetWindowTextA(item, buffer, length + 1);
    value.ReleaseBuffer(got >= 0 ? got : 0);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd) return -1;   // already running
    EnsureCommonControls();

    HWND owner = ChooseOwner(m_pParentWnd);
    bool ownerDisabled = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }

    m_nModalResult = -1;
    m_bContinueModal = TRUE;   // before creation: OnInitDialog may end the dialog at once

    HWND hWnd = CreateFromTemplate(owner);

    if (hWnd && m_bContinueModal && !::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOWNORMAL);

    while (m_bContinueModal && m_hWnd) {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // A quit request: end this loop and hand the request on to the outer one.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = -1;
            break;
        }
        if (got == -1) {
            m_nModalResult = -1;
            break;
        }
        if (!m_hWnd || !::IsDialogMessageA(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bContinueModal = FALSE;

    // Hide before the owner is enabled again, so the activation goes back to the owner.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (ownerDisabled && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

HWND CDialog::CreateFromTemplate(HWND owner)
{
    HookWindowCreate();   // bound from its first message on, as CreateEx does
    HWND hWnd = ::CreateDialogParamA(GetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                     NullDlgProc, 0);
    UnhookWindowCreate();
    if (!hWnd) {
        if (m_hWnd) UnsubclassWindow();
        return nullptr;
    }
    if (m_hWnd != hWnd) {   // not bound: cannot be driven
        ::DestroyWindow(hWnd);
        return nullptr;
    }
    m_bCreated = true;
    return hWnd;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_bContinueModal) {
        m_bContinueModal = FALSE;
        if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);   // wake the loop
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(UINT id, int code)
{
    if (code != BN_CLICKED && code != 1) return CWnd::OnCommand(id, code);
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return CWnd::OnCommand(id, code);
}
