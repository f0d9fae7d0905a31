// The hidden main frame: start-up checks, tray icon, Option command.
#include "mainfrm.h"

#include "busprobe.h"
#include "language.h"
#include "maindlg.h"
#include "portgate.h"
#include "resource.h"
#include "session_end.h"

namespace {

// A display of 16 colours or fewer cannot show the skin.
const int kMinimumBitsPerPixel = 5;

bool DisplayHasTooFewColours()
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(desktop, dc);
    return bits < kMinimumBitsPerPixel;
}

} // namespace

CMainFrame::CMainFrame()
{
    m_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

    zykOpen_PCI();
    int cardFound = ATIAGP_Check();
    zykClose_PCI();

    // The language first, so that the message below is already in it.
    SetGlobalString();

    if (cardFound == 0) {
        // Port access refused is no missing card: say what stands in the way.
        int refusal = zykDriverRefusal();
        const char* message = refusal == ZYK_REFUSED_RIGHTS        ? str_AdminRightsMsg
                              : refusal == ZYK_REFUSED_DRIVER_FILE ? str_DriverFolderMsg
                                                                   : str_NoCardMsg;
        MessageBoxA(nullptr, message, str_Title, MB_OK);
        PostQuitMessage(-1);
        m_startFailed = true;
    }
    if (DisplayHasTooFewColours()) {
        PostQuitMessage(-1);
        m_startFailed = true;
    }
}

// Members go in reverse order: the view, then the tray icon (removing the icon).
CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.lpszClass = RegisterWndClass(0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;

    if (!m_view.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST))
        return -1;

    HICON icon = LoadIconA(GetResourceHandle(), MAKEINTRESOURCEA(IDI_PROGRAM));
    // The icon id is the tray menu's resource id: that is how the tray finds its menu.
    // A refused icon (the taskbar not up yet at log-on) waits and is added later; its
    // menu then works as for one added at once.
    if (m_trayIcon.Install(this, WM_TRAY_CALLBACK, str_Title, icon, g_trayMenuId) || m_trayIcon.IsWaiting())
        m_trayIcon.SetDefaultEntry(0, FALSE); // command 0: no entry shown as default
    return 0;
}

BOOL CMainFrame::OnCmdMsg(UINT id, int code)
{
    if (m_view.m_hWnd && m_view.OnCmdMsg(id, code))
        return TRUE;
    return CFrameWnd::OnCmdMsg(id, code);
}

BOOL CMainFrame::OnCommand(UINT id, int code)
{
    if (id == ID_OPTION) {
        OnOption();
        return TRUE;
    }
    return CFrameWnd::OnCommand(id, code);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Log-off, shut-down and suspend: whichever of the program's windows hears of it
    // first puts an unconfirmed pair back (session_end.h).
    LRESULT answer;
    if (AnswerSessionMessage(message, wParam, lParam, &answer))
        return answer;
    if (message != 0 && message == m_taskbarCreated) {
        OnTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_TRAY_CALLBACK:
        return OnTrayMessage(wParam, lParam);
    case WM_CLOSE:
        if (m_dialogOpen) {
            OnClose();
            return 0;
        }
        break;
    default:
        break;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

// The program ends with its main window: "Close" destroys it, and the loop then ends
// with code 0.
void CMainFrame::PostNcDestroy()
{
    PostQuitMessage(0);
    CFrameWnd::PostNcDestroy(); // deletes this frame
}

// Explorer restarted: its new taskbar has an empty tray, so the icon goes back in.
void CMainFrame::OnTaskbarCreated()
{
    m_trayIcon.AddAgain();
}

void CMainFrame::OnSetFocus(HWND)
{
    if (m_view.m_hWnd)
        m_view.SetFocus();
}

LRESULT CMainFrame::OnTrayMessage(WPARAM wParam, LPARAM lParam)
{
    return m_trayIcon.HandleTrayMessage(wParam, lParam);
}

void CMainFrame::OnOption()
{
    if (m_dialogOpen)
        return;
    if (m_startFailed)
        return;

    m_dialogOpen = true;
    {
        CTarnwell2Dlg dialog; // no parent: the platform picks the owner
        m_runningDialog = &dialog;
        dialog.DoModal();
        m_runningDialog = nullptr;
    }
    m_dialogOpen = false;

    if (m_closeAfterDialog) {
        m_closeAfterDialog = false;
        PostMessage(WM_CLOSE);
    }
}

// "Close" (or any WM_CLOSE) while the dialog runs: the frame must outlive the
// dialog's modal loop, which runs inside OnOption. The dialog is cancelled as if the
// user pressed Cancel, and the frame closes once the loop has returned.
void CMainFrame::OnClose()
{
    m_closeAfterDialog = true;
    if (m_runningDialog && m_runningDialog->m_hWnd)
        m_runningDialog->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
