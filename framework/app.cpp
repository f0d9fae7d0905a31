// Application object, message loop and frame window.
#include "app.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* GetApp()
{
    return g_app;
}

CWnd* GetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CWinApp::CWinApp(LPCSTR appName)
{
    if (appName) m_strAppName = appName;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    for (;;) {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nQuitCode = (int)msg.wParam;
            break;
        }
        if (got == -1) {
            m_nQuitCode = -1;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_nQuitCode;
}

BOOL CWinApp::OnCmdMsg(UINT id, int code)
{
    return OnCommand(id, code);
}

BOOL CWinApp::OnCommand(UINT id, int code)
{
    if (code != 0 && code != 1) return FALSE;   // menu / accelerator commands only
    switch (id) {
    case ID_APP_EXIT:
        OnAppExit();
        return TRUE;
    case ID_HELP:
        OnHelp();
        return TRUE;
    default:
        return FALSE;
    }
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = GetApp();
    if (!app) return -1;
    EnsureCommonControls();
    if (app->m_strAppName.IsEmpty()) app->m_strAppName.LoadString(AFX_IDS_APP_TITLE);

    int code;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    // A main window left alive by a quit request goes now, so that what it holds (a
    // frame deletes itself) is released before the process ends.
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    return code;
}

// --- CFrameWnd -----------------------------------------------------------------------

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void* context)
{
    HINSTANCE module = GetResourceHandle();
    HMENU menu = ::LoadMenuA(module, MAKEINTRESOURCEA(resourceId));
    m_strTitle.LoadString(resourceId);
    style &= ~(DWORD)FWS_ADDTOTITLE;
    BOOL created = CreateEx(0, nullptr, m_strTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, menu,
                            context);
    if (!created) {
        if (menu && !::IsMenu(menu)) menu = nullptr;   // destroyed with a failed window
        if (menu) ::DestroyMenu(menu);
        return FALSE;
    }
    if (HICON icon = (HICON)::LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE | LR_SHARED))
        SetIcon(icon, TRUE);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                        ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        (HBRUSH)(COLOR_WINDOW + 1));
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code)
{
    if (OnCommand(id, code)) return TRUE;
    CWinApp* app = GetApp();
    return app && app->OnCmdMsg(id, code);
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED) RecalcLayout();
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CFrameWnd::RecalcLayout()
{
    HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (!pane) return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::MoveWindow(pane, 0, 0, rc.right, rc.bottom, TRUE);
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = GetApp();
    if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    delete this;
}
