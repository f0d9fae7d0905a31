// CMainFrame: the hidden main window. It checks the card and the display when it is
// constructed, owns the tray icon and opens the main dialog on the Option command.
#pragma once
#include "app.h"
#include "mainview.h"
#include "trayicon.h"

class CDialog;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT id, int code) override;
    BOOL OnCommand(UINT id, int code) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    bool IsDialogOpen() const { return m_dialogOpen; }
    bool HasStartFailed() const { return m_startFailed; }

protected:
    int OnCreate(LPCREATESTRUCTA cs) override;
    void OnSetFocus(HWND oldFocus);
    LRESULT OnTrayMessage(WPARAM wParam, LPARAM lParam);
    void OnOption();
    void OnClose();
    void OnTaskbarCreated();

    CTrayIcon m_trayIcon;
    bool m_dialogOpen = false;
    bool m_startFailed = false;
    CMainView m_view;

private:
    // The message the shell broadcasts when the taskbar is re-created.
    UINT m_taskbarCreated = 0;
    // Set while the main dialog runs, so that closing the program can end it first.
    CDialog* m_runningDialog = nullptr;
    bool m_closeAfterDialog = false;
};
