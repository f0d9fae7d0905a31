// Application object and frame window.
//
// Exactly one CWinApp-derived object is constructed (usually a global); its constructor
// registers it (GetApp). The program's own WinMain calls AfxWinMain, which:
//   - registers the common controls and fills the application name (string 57344 when
//     none was given to the constructor),
//   - calls InitInstance; FALSE: destroys m_pMainWnd if it has a window and returns
//     ExitInstance();
//   - else returns Run(): the message loop until WM_QUIT, then ExitInstance(),
//   - finally destroys a main window still alive (its frame object deletes itself).
// ExitInstance's result is the process exit code; the base returns the quit code of the
// message loop (WM_QUIT's wParam as int; 0 when the loop never ran).
//
//   int WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR cmd, int show)
//   { return AfxWinMain(h, p, cmd, show); }
//
// The framework never posts the quit by itself: the program's main frame does, when
// its window is destroyed.
#pragma once
#include <windows.h>
#include "wnd.h"

#define ID_APP_EXIT  0xE141   // 57665: application exit command (WM_CLOSE to the main window)
#define ID_HELP      0xE146   // 57670: help command (no help file: does nothing)
#define AFX_IDS_APP_TITLE 0xE000   // 57344: the application name string
#define FWS_ADDTOTITLE 0x00008000L // frame style: accepted, kept out of the window style

class CWinApp {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();   // base: TRUE
    virtual int Run();             // message loop, then returns ExitInstance()
    virtual int ExitInstance();    // base: the quit code
    // Command routing's last stop: OnCommand (ID_APP_EXIT, ID_HELP).
    virtual BOOL OnCmdMsg(UINT id, int code);
    virtual BOOL OnCommand(UINT id, int code);
    void OnAppExit();              // WM_CLOSE to the main window
    void OnHelp() {}

    CString m_strAppName;          // from the constructor, else string 57344
    CWnd* m_pMainWnd = nullptr;
    int m_nQuitCode = 0;           // wParam of the WM_QUIT that ended Run
};

CWinApp* GetApp();
CWnd* GetMainWnd();   // GetApp()->m_pMainWnd, or null
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);

// A top-level frame with a menu. Allocate it with new: it deletes itself after its
// window is destroyed (PostNcDestroy), and stops being the application's main window
// then. A child with id AFX_IDW_PANE_FIRST fills the client area.
class CFrameWnd : public CWnd {
public:
    // Menu, title (string 'resourceId', if any) and icon ('resourceId', if any) from the
    // program's resources; FWS_* bits are removed from the style. Creation goes through
    // PreCreateWindow and WM_CREATE (OnCreate) as usual. FALSE if the window was not created.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, void* context = nullptr);
    // Base: a frame window class (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, arrow, window
    // colour) when none is given, and WS_EX_CLIENTEDGE.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // This frame's OnCommand, then the application.
    BOOL OnCmdMsg(UINT id, int code) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;   // delete this

    void RecalcLayout();             // the pane child fills the client area

protected:
    CString m_strTitle;
};
