// Start-up and end of the program.
#include "tarnwell2.h"

#include "instance.h"
#include "mainfrm.h"
#include "resource.h"

BOOL CTarnwell2App::InitInstance()
{
    // The value the increment produced decides, so two copies started at the same
    // moment cannot both go on. The counter is balanced in ExitInstance.
    if (InterlockedIncrement(&g_instanceCount) >= 1)
        return FALSE;

    CMainFrame* frame = new CMainFrame; // runs the card and display checks
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        // A frame whose window came and went has deleted itself and left
        // m_pMainWnd; one that never got a window is still ours to delete.
        if (m_pMainWnd == frame && !frame->m_hWnd) {
            delete frame;
            m_pMainWnd = nullptr;
        }
        return FALSE;
    }
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();

    // The first pass of the message loop opens the main dialog.
    frame->PostMessage(WM_COMMAND, ID_OPTION, 0);
    return TRUE;
}

int CTarnwell2App::ExitInstance()
{
    InterlockedDecrement(&g_instanceCount);
    return CWinApp::ExitInstance();
}
