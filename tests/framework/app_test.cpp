// Application object and frame: command routing (frame, application), the exit
// command, the frame made from a menu resource, AfxWinMain's start and quit codes.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "framework.h"
#include "test_ids.h"

namespace {

std::vector<std::string> trail;

class View : public CWnd {};

// Opens an IDD_INNER dialog without parent on command 500; on command 501 the dialog
// asks for a quit with code -1 during its initialisation.
class QuitDialog : public CDialog {
public:
    QuitDialog() : CDialog(IDD_INNER) {}
    HWND ownerSeen = nullptr;
    BOOL ownerEnabledSeen = TRUE;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ownerSeen = ::GetWindow(m_hWnd, GW_OWNER);
        ownerEnabledSeen = ::IsWindowEnabled(ownerSeen);
        ::PostQuitMessage(-1);
        return TRUE;
    }
};

struct FrameLog {
    bool deleted = false;
    bool created = false;
    HWND frame = nullptr;
    DWORD styleSeen = 0;
    HWND dialogOwner = nullptr;
    BOOL dialogOwnerEnabled = TRUE;
    INT_PTR dialogResult = 0;
    bool quitOnDestroy = true;   // as a program's main frame does
};

class Frame : public CFrameWnd {
public:
    explicit Frame(FrameLog* log) : m_log(log) {}
    ~Frame() override { m_log->deleted = true; }
    View m_view;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override
    {
        m_log->styleSeen = (DWORD)cs.style;
        return CFrameWnd::PreCreateWindow(cs);
    }
    int OnCreate(LPCREATESTRUCTA cs) override
    {
        if (CFrameWnd::OnCreate(cs) == -1) return -1;
        if (!m_view.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this,
                           AFX_IDW_PANE_FIRST))
            return -1;
        m_log->created = true;
        m_log->frame = m_hWnd;
        return 0;
    }
    BOOL OnCommand(UINT id, int code) override
    {
        trail.push_back("frame");
        if (id == 2) return TRUE;
        if (id == 500) {
            QuitDialog dialog;
            m_log->dialogResult = dialog.DoModal();
            m_log->dialogOwner = dialog.ownerSeen;
            m_log->dialogOwnerEnabled = dialog.ownerEnabledSeen;
            return TRUE;
        }
        return CFrameWnd::OnCommand(id, code);
    }
    void PostNcDestroy() override
    {
        if (m_log->quitOnDestroy) ::PostQuitMessage(0);
        CFrameWnd::PostNcDestroy();
    }

private:
    FrameLog* m_log;
};

class App : public CWinApp {
public:
    using CWinApp::CWinApp;
    FrameLog log;
    bool initResult = true;
    UINT postAtStart = 0;
    int exitCalls = 0;
    bool ranLoop = false;

    BOOL InitInstance() override
    {
        if (!initResult) return FALSE;
        Frame* frame = new Frame(&log);
        m_pMainWnd = frame;
        if (!frame->LoadFrame(IDM_FRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) return FALSE;
        frame->ShowWindow(SW_HIDE);
        if (postAtStart) frame->PostMessage(WM_COMMAND, postAtStart, 0);
        return TRUE;
    }
    int Run() override
    {
        ranLoop = true;
        return CWinApp::Run();
    }
    int ExitInstance() override
    {
        ++exitCalls;
        return CWinApp::ExitInstance();
    }
    BOOL OnCommand(UINT id, int code) override
    {
        trail.push_back("app");
        return id == 3 ? TRUE : CWinApp::OnCommand(id, code);
    }
};

// Empties the thread's queue; returns the code of a quit request found in it, or 99.
int DrainQuit()
{
    MSG msg;
    int code = 99;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            code = (int)msg.wParam;
        else
            DispatchMessageA(&msg);
    }
    return code;
}

}  // namespace

TEST(CommandRouting, FrameThenApplication)
{
    App app("routing");
    app.log.quitOnDestroy = false;
    Frame* frame = new Frame(&app.log);
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDM_FRAME));
    ASSERT_TRUE(app.log.created);

    struct Case { UINT id; std::vector<std::string> expected; };
    for (const Case& c : {Case{2, {"frame"}}, Case{3, {"frame", "app"}}, Case{4, {"frame", "app"}}}) {
        trail.clear();
        frame->SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        EXPECT_EQ(trail, c.expected) << "command " << c.id;
    }

    // The exit command reaches the application, which closes the main window; its
    // destruction clears the main window and deletes the frame. The quit is the
    // program's own: the framework posts none.
    trail.clear();
    frame->SendMessage(WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(trail, (std::vector<std::string>{"frame", "app"}));
    EXPECT_TRUE(app.log.deleted);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(DrainQuit(), 99);
}

TEST(Frame, MadeFromTheMenuResourceWithItsTitleAndAFullPane)
{
    App app("frame");
    Frame* frame = new Frame(&app.log);
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDM_FRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_EQ(app.log.styleSeen & FWS_ADDTOTITLE, 0u);
    HMENU menu = ::GetMenu(frame->m_hWnd);
    ASSERT_NE(menu, nullptr);
    char text[32] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    CString title;
    frame->GetWindowText(title);
    EXPECT_STREQ(title, "Test Frame");

    frame->MoveWindow(0, 0, 300, 200);
    CRect client, pane;
    frame->GetClientRect(&client);
    frame->m_view.GetWindowRect(&pane);
    frame->ScreenToClient(&pane);
    EXPECT_EQ(pane, client);

    frame->DestroyWindow();
    EXPECT_TRUE(app.log.deleted);
    DrainQuit();
}

TEST(WinMain, QuitRequestedByAStartupDialogEndsTheProgramWithItsCode)
{
    App app;   // name from string 57344
    app.postAtStart = 500;
    int code = AfxWinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW);
    EXPECT_EQ(code, -1);
    EXPECT_STREQ(app.m_strAppName, "Framework Test");
    EXPECT_EQ(app.log.dialogResult, -1);
    EXPECT_EQ(app.log.dialogOwner, app.log.frame);   // the hidden frame, disabled meanwhile
    EXPECT_FALSE(app.log.dialogOwnerEnabled);
    EXPECT_EQ(app.exitCalls, 1);
    EXPECT_TRUE(app.log.deleted);              // the main window does not outlive the run
    DrainQuit();
}

TEST(WinMain, ExitCommandEndsWithZeroAndRefusedStartSkipsTheLoop)
{
    {
        App app("exit");
        app.postAtStart = ID_APP_EXIT;
        EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW), 0);
        EXPECT_TRUE(app.ranLoop);
        EXPECT_TRUE(app.log.deleted);
        EXPECT_EQ(app.exitCalls, 1);
        DrainQuit();
    }
    {
        App app("refused");
        app.initResult = false;
        EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW), 0);
        EXPECT_FALSE(app.ranLoop);
        EXPECT_EQ(app.exitCalls, 1);
        DrainQuit();
    }
}
