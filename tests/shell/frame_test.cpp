// The hidden frame in this process: the start-up checks (card through the simulated
// machine, display depth and no-card message intercepted in the import table), its
// window, view and tray icon, and the Option command's guard.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "import_patch.h"
#include "language.h"
#include "mainfrm.h"
#include "popup_reader.h"
#include "posted.h"
#include "resource.h"
#include "simscenario.h"
#include "tray_recorder.h"

namespace {

int g_bitsPerPixel;
int(WINAPI* g_realDeviceCaps)(HDC, int);
struct Shown { HWND owner; std::string text, caption; UINT type; };
std::vector<Shown> g_messages;

int WINAPI FakeDeviceCaps(HDC dc, int index)
{
    if (index == BITSPIXEL)
        return g_bitsPerPixel;
    return g_realDeviceCaps(dc, index);
}

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    g_messages.push_back({owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

// A limited user: the service manager lets connect, but nothing more.
SC_HANDLE WINAPI LimitedManager(LPCSTR machine, LPCSTR database, DWORD access)
{
    if (access & ~SC_MANAGER_CONNECT) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return OpenSCManagerA(machine, database, access);
}

// A driver file and folder owned by Everyone, with no DACL: anyone may swap them.
WINBOOL WINAPI OpenToEveryone(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR out, DWORD size,
                              LPDWORD needed)
{
    SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
    PSID everyone;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    SECURITY_DESCRIPTOR absolute;
    InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorOwner(&absolute, everyone, FALSE);
    SetSecurityDescriptorDacl(&absolute, TRUE, nullptr, FALSE);
    *needed = size;
    BOOL made = MakeSelfRelativeSD(&absolute, out, needed);
    FreeSid(everyone);
    return made;
}

// portgate looks the security functions up when it checks its driver file: the lookup
// answers with the descriptor above.
FARPROC WINAPI LookupOpenToEveryone(HMODULE module, LPCSTR name)
{
    if (HIWORD(name) && strcmp(name, "GetFileSecurityA") == 0)
        return reinterpret_cast<FARPROC>(&OpenToEveryone);
    return GetProcAddress(module, name);
}

// The quit code a start-up check requested, or none.
bool TakeQuit(int* code)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *code = (int)msg.wParam;
            return true;
        }
    }
    return false;
}

// A frame whose start-up check fails: it says so and requests the quit code -1.
void ExpectStartFails()
{
    CMainFrame* frame = new CMainFrame;
    EXPECT_TRUE(frame->HasStartFailed());
    delete frame;
    int code = 0;
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(-1, code);
}

class FrameTest : public ::testing::Test {
protected:
    FrameTest()
        : depth("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeDeviceCaps)),
          box("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBox))
    {
        g_realDeviceCaps = depth.Original<int(WINAPI*)(HDC, int)>();
        g_messages.clear();
        g_bitsPerPixel = 32;
        sim::DefaultScenario();
        int ignored;
        TakeQuit(&ignored);
    }
    ~FrameTest() override { sim::DefaultScenario(); }

    TrayRecorder shell;
    ImportPatch depth;
    ImportPatch box;
};

TEST_F(FrameTest, CardAndColoursPresentStartCleanly)
{
    for (int bits : {32, 16, 8, 5}) {
        g_bitsPerPixel = bits;
        CMainFrame* frame = new CMainFrame;
        EXPECT_FALSE(frame->HasStartFailed()) << bits;
        EXPECT_FALSE(frame->IsDialogOpen());
        delete frame;
        int code;
        EXPECT_FALSE(TakeQuit(&code)) << bits;
    }
    EXPECT_TRUE(g_messages.empty());
    EXPECT_STREQ("Zyk Velotune V1.0a", str_Title); // the language was chosen
}

TEST_F(FrameTest, SixteenColoursOrFewerQuitSilently)
{
    for (int bits : {4, 1}) {
        g_bitsPerPixel = bits;
        SCOPED_TRACE(bits);
        ExpectStartFails();
    }
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(FrameTest, NoCardShowsOneMessageInTheLanguageAndQuits)
{
    sim::Reset();
    ExpectStartFails();
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(nullptr, g_messages[0].owner);
    EXPECT_EQ(std::string(str_NoCardMsg), g_messages[0].text);
    EXPECT_EQ("Zyk Velotune V1.0a", g_messages[0].caption);
    EXPECT_EQ((UINT)MB_OK, g_messages[0].type);
}

TEST_F(FrameTest, RefusedPortAccessIsToldInsteadOfTheNoCardMessage)
{
    struct Case {
        const char* dll;
        const char* function;
        void* hook;
        const char* message;
    } cases[] = {
        {"advapi32.dll", "OpenSCManagerA", reinterpret_cast<void*>(&LimitedManager),
         str_AdminRightsMsg},
        {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&LookupOpenToEveryone),
         str_DriverFolderMsg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        g_messages.clear();
        ImportPatch refused(GetModuleHandleA("portgate.dll"), c.dll, c.function, c.hook);
        ASSERT_TRUE(refused.Active());
        ExpectStartFails();
        ASSERT_EQ(1u, g_messages.size());
        EXPECT_EQ(std::string(c.message), g_messages[0].text);
        EXPECT_NE(std::string(str_NoCardMsg), g_messages[0].text);
        EXPECT_EQ("Zyk Velotune V1.0a", g_messages[0].caption);
    }
}

TEST_F(FrameTest, BothChecksFailingStillShowOneMessage)
{
    sim::Reset();
    g_bitsPerPixel = 4;
    ExpectStartFails();
    EXPECT_EQ(1u, g_messages.size());
}

TEST_F(FrameTest, LoadedFrameHasItsViewAndTrayIcon)
{
    CMainFrame* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr));
    HWND hwnd = frame->m_hWnd;

    // The frame: unseen, no client edge, a class with no styles, cursor or brush.
    EXPECT_FALSE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(0u, GetClassLongPtrA(hwnd, GCL_STYLE));
    EXPECT_EQ(0u, GetClassLongPtrA(hwnd, GCLP_HCURSOR));
    EXPECT_EQ(0u, GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));

    // The view: pane child, client edge, no border, double clicks, window colour.
    HWND view = GetDlgItem(hwnd, AFX_IDW_PANE_FIRST);
    ASSERT_NE(nullptr, view);
    LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & WS_BORDER);
    EXPECT_TRUE(GetWindowLongPtrA(view, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ((ULONG_PTR)(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW), GetClassLongPtrA(view, GCL_STYLE));
    EXPECT_EQ((ULONG_PTR)(COLOR_WINDOW + 1), GetClassLongPtrA(view, GCLP_HBRBACKGROUND));

    // The tray icon: the frame gets the callbacks, the title is the tooltip and the
    // icon id is the language's tray menu.
    ASSERT_EQ(1u, shell.Requests().size());
    const TrayRequest add = shell.Requests()[0];
    EXPECT_EQ((DWORD)NIM_ADD, add.message);
    EXPECT_EQ(hwnd, add.window);
    EXPECT_EQ((UINT)(WM_USER + 10), add.callback);
    EXPECT_EQ((UINT)g_trayMenuId, add.id);
    EXPECT_EQ("Zyk Velotune V1.0a", add.tip);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM)), add.icon);

    // Tray callbacks go through the frame to the icon: a foreign id is refused, a
    // double click posts the Option command.
    EXPECT_EQ(0, SendMessageA(hwnd, WM_TRAY_CALLBACK, g_trayMenuId + 7, WM_LBUTTONDBLCLK));
    EXPECT_EQ(1, SendMessageA(hwnd, WM_TRAY_CALLBACK, g_trayMenuId, WM_LBUTTONDBLCLK));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)ID_OPTION, msg.wParam);

    // A right click shows the language's menu with no command entry as default (the
    // recorded default is command 0, which only the separator carries).
    SeenPopup menu = ReadPopupWhileOpen([&] { SendMessageA(hwnd, WM_TRAY_CALLBACK, g_trayMenuId, WM_RBUTTONUP); });
    ASSERT_TRUE(menu.seen);
    EXPECT_EQ((std::vector<UINT>{32771, 0, 57665}), menu.ids);
    EXPECT_NE(32771u, menu.defaultItem);
    EXPECT_NE(57665u, menu.defaultItem);

    // The taskbar re-created (Explorer restarted): the icon is added again, the same
    // record, and nothing else is asked of the shell or posted to the frame.
    shell.Clear();
    TakePosted(hwnd);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);
    DWORD_PTR answer = 1;
    ASSERT_TRUE(SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    ASSERT_EQ(1u, shell.Requests().size());
    ExpectTheSameAdd(add, shell.Requests()[0]);
    EXPECT_TRUE(TakePosted(hwnd).empty());
    EXPECT_FALSE(frame->IsDialogOpen());
    EXPECT_FALSE(IsWindowVisible(hwnd));

    // Destroying the window deletes the frame, which removes the icon.
    shell.Clear();
    DestroyWindow(hwnd);
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests()[0].message);
}

// "Close" reaches the frame as WM_CLOSE: the window goes, the frame with it, and the
// message loop is asked to end with code 0.
TEST_F(FrameTest, ClosingTheFrameEndsTheLoopWithZero)
{
    CWinApp app("frame close");
    CMainFrame* frame = new CMainFrame;
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr));
    HWND hwnd = frame->m_hWnd;
    int code = 99;
    EXPECT_FALSE(TakeQuit(&code)) << "no quit before the close";
    shell.Clear();

    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests()[0].message);
    ASSERT_TRUE(TakeQuit(&code));
    EXPECT_EQ(0, code);
}

// Started from the Run key before the taskbar is up: the shell refuses the icon,
// the program runs on, and the icon arrives with the taskbar, its menu and double
// click as for an icon added at once.
TEST_F(FrameTest, AnIconRefusedAtStartArrivesWithTheTaskbar)
{
    shell.Answer(FALSE);
    CMainFrame* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr));
    HWND hwnd = frame->m_hWnd;
    ASSERT_EQ(1u, shell.Count(NIM_ADD)) << "one add, and a modify that finds no icon either";
    ASSERT_EQ(2u, shell.Requests().size());
    const TrayRequest refused = shell.Requests()[0];

    shell.Clear();
    shell.Answer(TRUE);
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR answer = 1;
    ASSERT_TRUE(SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ(hwnd, refused.window);
    ExpectTheSameAdd(refused, shell.Requests()[0]);

    SeenPopup menu = ReadPopupWhileOpen([&] { SendMessageA(hwnd, WM_TRAY_CALLBACK, g_trayMenuId, WM_RBUTTONUP); });
    ASSERT_TRUE(menu.seen);
    EXPECT_EQ((std::vector<UINT>{32771, 0, 57665}), menu.ids);
    EXPECT_NE(32771u, menu.defaultItem);
    EXPECT_NE(57665u, menu.defaultItem);
    TakePosted(hwnd);
    EXPECT_EQ(1, SendMessageA(hwnd, WM_TRAY_CALLBACK, g_trayMenuId, WM_LBUTTONDBLCLK));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((WPARAM)ID_OPTION, msg.wParam);

    shell.Clear();
    DestroyWindow(hwnd);
    ASSERT_EQ(1u, shell.Requests().size()) << "added, so removed at the end";
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests()[0].message);
}

TEST_F(FrameTest, OptionIsIgnoredAfterAFailedStart)
{
    g_bitsPerPixel = 4;
    CMainFrame* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr));
    // Would run the dialog's modal loop (and block here) were the guard missing.
    SendMessageA(frame->m_hWnd, WM_COMMAND, ID_OPTION, 0);
    EXPECT_FALSE(frame->IsDialogOpen());
    DestroyWindow(frame->m_hWnd);
}

} // namespace
