// CTrayIcon against a recorded shell: the requests it sends, its menu, the double
// click, the icon lists and the animation.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <new>
#include <string>
#include <vector>

#include "debug_output.h"
#include "import_patch.h"
#include "popup_reader.h"
#include "posted.h"
#include "resource.h"
#include "session_end.h"
#include "text.h"
#include "tray_recorder.h"
#include "trayicon.h"

// The program's allocations, with a way to make the next one fail.
static bool g_failNextAllocation = false;

void* operator new(size_t size)
{
    if (g_failNextAllocation) {
        g_failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// free() pairs with the malloc() above; the compiler cannot see that through inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
#pragma GCC diagnostic pop

namespace {

// The icon list from a vector (made before any allocation is set to fail).
BOOL SetIcons(CTrayIcon& tray, const std::vector<HICON>& icons, int last)
{
    return tray.SetIconArray(icons.data(), (int)icons.size(), last);
}

const UINT kCallback = WM_TRAY_CALLBACK;
const UINT kIconId = IDR_TRAY_MENU_ENGLISH;

// A hidden top-level window standing in for the program's frame.
class TargetWindow : public CWnd {
public:
    TargetWindow() { CreateEx(0, RegisterWndClass(0), "target", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    ~TargetWindow() override { DestroyWindow(); }
};

HICON ProgramIcon()
{
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM));
}

class TrayIconTest : public ::testing::Test {
protected:
    TrayRecorder shell;
    TargetWindow target;
};

TEST_F(TrayIconTest, InstallSendsTheWholeVersion4Record)
{
    CTrayIcon tray;
    ASSERT_TRUE(tray.Install(&target, kCallback, "Zyk Velotune V1.0a", ProgramIcon(), kIconId));

    ASSERT_EQ(1u, shell.Requests().size());
    const TrayRequest& add = shell.Requests()[0];
    EXPECT_EQ((DWORD)NIM_ADD, add.message);
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, add.size);
#ifndef _WIN64
    EXPECT_EQ(88u, add.size);
#endif
    EXPECT_EQ(target.m_hWnd, add.window);
    EXPECT_EQ(kIconId, add.id);
    EXPECT_EQ((UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP), add.flags);
    EXPECT_EQ(kCallback, add.callback);
    EXPECT_EQ(ProgramIcon(), add.icon);
    EXPECT_EQ("Zyk Velotune V1.0a", add.tip);
    EXPECT_EQ(ProgramIcon(), tray.GetIcon());
    EXPECT_STREQ("Zyk Velotune V1.0a", tray.GetTip().c_str());
    // The hidden window exists even though the frame gets the callbacks.
    EXPECT_TRUE(IsWindow(tray.m_hWnd));
    EXPECT_FALSE(IsWindowVisible(tray.m_hWnd));
}

TEST_F(TrayIconTest, WithoutTargetTheOwnWindowGetsTheCallbacks)
{
    CTrayIcon tray(nullptr, kCallback, "tip", ProgramIcon(), kIconId);
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ(tray.m_hWnd, shell.Requests()[0].window);
    ASSERT_NE(nullptr, tray.m_hWnd);
    // A callback message reaches HandleTrayMessage through the window; a foreign id
    // is not this icon's.
    EXPECT_EQ(0, SendMessageA(tray.m_hWnd, kCallback, 999, WM_LBUTTONDOWN));
    EXPECT_EQ(1, SendMessageA(tray.m_hWnd, kCallback, kIconId, WM_LBUTTONDOWN));
}

TEST_F(TrayIconTest, LongTooltipsAreCutToTheRecord)
{
    std::string longTip(100, 'x');
    for (size_t i = 0; i < longTip.size(); ++i)
        longTip[i] = (char)('a' + i % 26);
    CTrayIcon tray;
    ASSERT_TRUE(tray.Install(&target, kCallback, longTip.c_str(), ProgramIcon(), kIconId));
    EXPECT_EQ(longTip.substr(0, 63), shell.Requests().back().tip);

    ASSERT_TRUE(tray.SetTip(longTip.c_str()));
    EXPECT_EQ((UINT)NIF_TIP, shell.Requests().back().flags);
    EXPECT_EQ(longTip.substr(0, 63), shell.Requests().back().tip);
    EXPECT_STREQ(longTip.substr(0, 63).c_str(), tray.GetTip().c_str());
    // The members behind the record are intact.
    EXPECT_EQ(ProgramIcon(), tray.GetIcon());
    UINT entry;
    BOOL byPosition;
    tray.GetDefaultEntry(entry, byPosition);
    EXPECT_EQ(0u, entry);
    EXPECT_TRUE(byPosition);
}

TEST_F(TrayIconTest, CallbacksForAnotherIconAreNotHandled)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    shell.Clear();
    // The double click first: a handled right click would wait in its popup menu.
    ASSERT_EQ(0, tray.HandleTrayMessage(kIconId + 1, WM_LBUTTONDBLCLK));
    EXPECT_EQ(0, tray.HandleTrayMessage(kIconId + 1, WM_RBUTTONUP));
    EXPECT_TRUE(TakePosted(target.m_hWnd).empty());
    EXPECT_TRUE(shell.Requests().empty());
}

TEST_F(TrayIconTest, SingleClicksAndButtonDownDoNothing)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    TakePosted(target.m_hWnd);
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        EXPECT_EQ(1, tray.HandleTrayMessage(kIconId, mouse)) << mouse;
    EXPECT_TRUE(TakePosted(target.m_hWnd).empty());
}

TEST_F(TrayIconTest, DoubleClickPostsOptionToAHiddenTarget)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    TakePosted(target.m_hWnd);
    ASSERT_FALSE(target.IsWindowVisible());

    EXPECT_EQ(1, tray.HandleTrayMessage(kIconId, MAKELPARAM(WM_LBUTTONDBLCLK, 0)));
    std::vector<MSG> posted = TakePosted(target.m_hWnd);
    ASSERT_EQ(1u, posted.size());
    EXPECT_EQ((UINT)WM_COMMAND, posted[0].message);
    EXPECT_EQ((WPARAM)32771, posted[0].wParam);
    EXPECT_EQ(0, posted[0].lParam);
    // Not minimised, so not shown either.
    EXPECT_FALSE(target.IsWindowVisible());
}

TEST_F(TrayIconTest, RightClickShowsThePopupAtTheCursorWithoutDefault)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    auto rightClick = [&] { EXPECT_EQ(1, tray.HandleTrayMessage(kIconId, WM_RBUTTONUP)); };
    // Out of the box the first entry, by position, is the default.
    EXPECT_EQ(32771u, ReadPopupWhileOpen(rightClick).defaultItem);

    ASSERT_TRUE(tray.SetDefaultEntry(0, FALSE));
    TakePosted(target.m_hWnd);
    SetCursorPos(200, 150);
    POINT cursor;
    GetCursorPos(&cursor);

    SeenPopup menu = ReadPopupWhileOpen(rightClick);

    ASSERT_TRUE(menu.seen);
    EXPECT_EQ((std::vector<UINT>{32771, 0, 57665}), menu.ids);
    EXPECT_EQ("Option...", menu.texts[0]);
    EXPECT_EQ("Close", menu.texts[2]);
    EXPECT_NE(32771u, menu.defaultItem);
    EXPECT_NE(57665u, menu.defaultItem);
    EXPECT_EQ(cursor.x, menu.rect.left);
    EXPECT_EQ(cursor.y, menu.rect.top);
    // The WM_NULL that lets the menu open again at the next click.
    bool sawNull = false;
    for (const MSG& m : TakePosted(target.m_hWnd))
        sawNull = sawNull || m.message == WM_NULL;
    EXPECT_TRUE(sawNull);
}

TEST_F(TrayIconTest, MissingMenuRefusesTheRightClick)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), 4242);
    TakePosted(target.m_hWnd);
    EXPECT_EQ(0, tray.HandleTrayMessage(4242, WM_RBUTTONUP));
    EXPECT_TRUE(TakePosted(target.m_hWnd).empty());
    // The pair is recorded even though the menu cannot be loaded.
    EXPECT_FALSE(tray.SetDefaultEntry(2, TRUE));
    UINT entry;
    BOOL byPosition;
    tray.GetDefaultEntry(entry, byPosition);
    EXPECT_EQ(2u, entry);
    EXPECT_TRUE(byPosition);
}

TEST_F(TrayIconTest, HideTwiceThenShowAddsTheIconOnce)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    shell.Clear();
    tray.Hide();
    tray.Hide();
    tray.Show();
    tray.Show();
    ASSERT_EQ(2u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests()[0].message);
    EXPECT_EQ((UINT)NIF_ICON, shell.Requests()[0].flags);
    EXPECT_EQ((DWORD)NIM_ADD, shell.Requests()[1].message);
    EXPECT_EQ((UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP), shell.Requests()[1].flags);
    EXPECT_EQ("tip", shell.Requests()[1].tip);
}

// A re-created taskbar has an empty tray: the icon goes back as it stands now (with
// the icon and tooltip changed since Install), not while hidden, and not after Remove.
TEST_F(TrayIconTest, AddAgainResendsTheStoredRecordUnlessHidden)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    HICON other = LoadIconA(nullptr, IDI_WARNING);
    ASSERT_TRUE(tray.SetIcon(other));
    ASSERT_TRUE(tray.SetTip("changed"));
    shell.Clear();

    EXPECT_TRUE(tray.AddAgain());
    ASSERT_EQ(1u, shell.Requests().size());
    const TrayRequest& add = shell.Requests()[0];
    EXPECT_EQ((DWORD)NIM_ADD, add.message);
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, add.size);
    EXPECT_EQ(target.m_hWnd, add.window);
    EXPECT_EQ(kIconId, add.id);
    EXPECT_EQ((UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP), add.flags);
    EXPECT_EQ(kCallback, add.callback);
    EXPECT_EQ(other, add.icon);
    EXPECT_EQ("changed", add.tip);

    // The shell's answer comes back; the icon stays installed either way.
    shell.Answer(FALSE);
    EXPECT_FALSE(tray.AddAgain());
    shell.Answer(TRUE);
    EXPECT_EQ(other, tray.GetIcon());

    tray.Hide();
    shell.Clear();
    EXPECT_FALSE(tray.AddAgain());
    EXPECT_TRUE(shell.Requests().empty()) << "a hidden icon stays out of the tray";
    tray.Show();
    tray.Remove();
    shell.Clear();
    EXPECT_FALSE(tray.AddAgain());
    EXPECT_TRUE(shell.Requests().empty());
}

TEST_F(TrayIconTest, DestructionRemovesTheIcon)
{
    HWND own;
    {
        CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
        own = tray.m_hWnd;
        shell.Clear();
    }
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests()[0].message);
    EXPECT_EQ(0u, shell.Requests()[0].flags);
    EXPECT_EQ(kIconId, shell.Requests()[0].id);
    EXPECT_FALSE(IsWindow(own));
}

// Every operation that would talk to the shell after a refused or impossible install.
void ExpectInert(CTrayIcon& tray, TrayRecorder& shell)
{
    shell.Clear();
    EXPECT_FALSE(tray.SetIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_FALSE(tray.SetIcon((UINT)IDI_PROGRAM));
    EXPECT_FALSE(tray.SetSystemIcon((UINT)(ULONG_PTR)IDI_WARNING));
    EXPECT_FALSE(tray.SetTip("other"));
    EXPECT_FALSE(tray.SetNotifyTarget(nullptr));
    tray.Hide();
    tray.Show();
    tray.HideAndShow();
    tray.Remove();
    EXPECT_FALSE(tray.AddAgain()) << "removed: nothing waits any more";
    EXPECT_EQ(nullptr, tray.GetIcon());
    EXPECT_TRUE(tray.GetTip().IsEmpty());
    EXPECT_TRUE(shell.Requests().empty());
}

// Until the shell takes a refused icon, nothing but the add is asked of it.
TEST_F(TrayIconTest, RefusedInstallWaitsAndMakesEveryOtherRequestANoOp)
{
    shell.Answer(FALSE);
    {
        CTrayIcon tray;
        EXPECT_FALSE(tray.Install(&target, kCallback, "tip", ProgramIcon(), kIconId));
        ASSERT_EQ(2u, shell.Requests().size());
        EXPECT_EQ((DWORD)NIM_ADD, shell.Requests()[0].message);
        EXPECT_EQ((DWORD)NIM_MODIFY, shell.Requests()[1].message) << "no icon there either";
        EXPECT_TRUE(IsWindow(tray.m_hWnd)); // made before the shell was asked
        EXPECT_TRUE(tray.IsWaiting());
        shell.Answer(TRUE);
        ExpectInert(tray, shell);
        EXPECT_FALSE(tray.IsWaiting());
        EXPECT_FALSE(KillTimer(tray.m_hWnd, CTrayIcon::s_retryEventId)) << "Remove stops the retries";
    }
    EXPECT_TRUE(shell.Requests().empty()) << "the destructor sent a request";

    // Destroyed while still waiting: no request, no timer left behind.
    shell.Answer(FALSE);
    { CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId); shell.Clear(); }
    EXPECT_TRUE(shell.Requests().empty());
}

TEST_F(TrayIconTest, OldPlatformInstallsNothing)
{
    shell.ReportVersion(0x00000003); // major version 3
    {
        CTrayIcon tray;
        EXPECT_FALSE(tray.Install(&target, kCallback, "tip", ProgramIcon(), kIconId));
        EXPECT_EQ(nullptr, tray.m_hWnd);
        ExpectInert(tray, shell);
    }
    EXPECT_TRUE(shell.Requests().empty());
}

TEST_F(TrayIconTest, IconListsAndAdvance)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    HICON a = LoadIconA(nullptr, IDI_APPLICATION);
    HICON b = LoadIconA(nullptr, IDI_WARNING);
    HICON c = LoadIconA(nullptr, IDI_INFORMATION);
    ASSERT_TRUE(a && b && c && a != b && b != c && a != c);

    EXPECT_FALSE(tray.AdvanceAnimation()); // empty list
    ASSERT_TRUE(SetIcons(tray, {a, b, c}, 2));
    EXPECT_FALSE(tray.SetIconRange(5, 4));   // refused, list kept
    shell.Clear();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(tray.AdvanceAnimation());
    EXPECT_EQ((std::vector<HICON>{b, c, a, b}), shell.ModifiedIcons());

    // The position is kept across a new list (only Animate starts it again): it
    // stood at the 2nd icon, so a list of two continues with its 1st.
    ASSERT_TRUE(SetIcons(tray, {a, b}, 7)); // beyond the array: the array, no more
    shell.Clear();
    tray.AdvanceAnimation();
    tray.AdvanceAnimation();
    tray.AdvanceAnimation();
    EXPECT_EQ((std::vector<HICON>{a, b, a}), shell.ModifiedIcons());

    // One resource icon: every tick shows it.
    ASSERT_TRUE(tray.SetIconRange(IDI_PROGRAM, IDI_PROGRAM));
    shell.Clear();
    tray.AdvanceAnimation();
    tray.AdvanceAnimation();
    EXPECT_EQ((std::vector<HICON>{ProgramIcon(), ProgramIcon()}), shell.ModifiedIcons());
}

std::vector<std::string> g_boxTexts;
int WINAPI RecordMessageBox(HWND, LPCSTR text, LPCSTR, UINT)
{
    g_boxTexts.push_back(text);
    return IDOK;
}

TEST_F(TrayIconTest, RunningOutOfMemoryReportsAndEmptiesTheList)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    HICON a = LoadIconA(nullptr, IDI_APPLICATION);
    HICON b = LoadIconA(nullptr, IDI_WARNING);
    ImportPatch box("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBox));
    g_boxTexts.clear();

    // A range: the list held one icon, so the second one needs memory.
    ASSERT_TRUE(SetIcons(tray, {a}, 0));
    g_failNextAllocation = true;
    EXPECT_FALSE(tray.SetIconRange(IDI_PROGRAM, IDI_PROGRAM + 9));
    g_failNextAllocation = false;
    EXPECT_FALSE(tray.AdvanceAnimation()) << "the list is empty, not half filled";

    // An array.
    std::vector<HICON> icons = {a, b};
    g_failNextAllocation = true;
    EXPECT_FALSE(SetIcons(tray, icons, 1));
    g_failNextAllocation = false;
    EXPECT_FALSE(tray.AdvanceAnimation());

    EXPECT_EQ((std::vector<std::string>{"Out of memory.", "Out of memory."}), g_boxTexts);
}

// Pumps this thread's messages until 'done' or a generous safety limit.
template <typename Done>
void PumpUntil(Done done, DWORD limitMs = 20000)
{
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < limitMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

TEST_F(TrayIconTest, AnimateCyclesFromTheSecondIconAndRestoresAfterTheDuration)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    HICON a = LoadIconA(nullptr, IDI_APPLICATION);
    HICON b = LoadIconA(nullptr, IDI_WARNING);
    HICON c = LoadIconA(nullptr, IDI_INFORMATION);
    ASSERT_TRUE(SetIcons(tray, {a, b, c}, 2));
    shell.Clear();

    CTime started = CTime::GetCurrentTime();
    ASSERT_TRUE(tray.Animate(500, 5));
    CTime stopped;
    PumpUntil([&] {
        std::vector<HICON> icons = shell.ModifiedIcons();
        if (!icons.empty() && icons.back() == ProgramIcon()) {
            stopped = CTime::GetCurrentTime();
            return true;
        }
        return false;
    });

    std::vector<HICON> icons = shell.ModifiedIcons();
    ASSERT_GE(icons.size(), 4u);
    EXPECT_EQ(ProgramIcon(), icons.back()) << "the icon before Animate is restored";
    const HICON cycle[] = {b, c, a};
    for (size_t i = 0; i + 1 < icons.size(); ++i)
        ASSERT_EQ(cycle[i % 3], icons[i]) << "tick " << i;
    // It stopped only once more than 5 whole seconds had passed, and for good.
    EXPECT_GT((stopped - started).GetTotalSeconds(), 5);
    EXPECT_FALSE(tray.StopAnimating()); // no timer left to kill
    size_t count = shell.ModifiedIcons().size();
    PumpUntil([] { return false; }, 700);
    EXPECT_EQ(count, shell.ModifiedIcons().size());
}

TEST_F(TrayIconTest, AnimateWithoutDurationRunsUntilStopped)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    HICON a = LoadIconA(nullptr, IDI_APPLICATION);
    HICON b = LoadIconA(nullptr, IDI_WARNING);
    ASSERT_TRUE(SetIcons(tray, {a, b}, 1));
    shell.Clear();
    ASSERT_TRUE(tray.Animate(50, 0));
    PumpUntil([&] { return shell.ModifiedIcons().size() >= 5; });
    ASSERT_GE(shell.ModifiedIcons().size(), 5u);
    EXPECT_TRUE(tray.StopAnimating());
    EXPECT_EQ(ProgramIcon(), shell.ModifiedIcons().back());
    EXPECT_EQ(ProgramIcon(), tray.GetIcon());
}

TEST_F(TrayIconTest, AnimateWithEmptyListOnlyRestoresAtTheEnd)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    shell.Clear();
    DebugOutputCapture trace;
    ASSERT_TRUE(tray.Animate(100, 1));
    EXPECT_EQ((std::vector<std::string>{"CTrayIcon::Animate"}), trace.Texts());
    PumpUntil([&] { return !shell.Requests().empty(); });
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_MODIFY, shell.Requests()[0].message);
    EXPECT_EQ(ProgramIcon(), shell.Requests()[0].icon);
    EXPECT_FALSE(tray.StopAnimating());
}

// The taskbar is not up yet at log-on: the real retry timer adds the icon later, and
// from then on it is installed as if the first add had worked.
TEST_F(TrayIconTest, ARefusedIconIsAddedLaterByTheRetryTimer)
{
    shell.Answer(FALSE);
    CTrayIcon tray;
    ASSERT_FALSE(tray.Install(&target, kCallback, "tip", ProgramIcon(), kIconId));
    const TrayRequest first = shell.Requests()[0];

    DWORD started = GetTickCount();
    shell.Clear();
    PumpUntil([&] { return shell.Requests().size() >= 2; });
    ASSERT_EQ(2u, shell.Requests().size()) << "refused again on the timer (add, then modify)";
    EXPECT_GE(GetTickCount() - started, CTrayIcon::kRetryPeriodMs - 100);
    ExpectTheSameAdd(first, shell.Requests()[0]);
    EXPECT_TRUE(tray.IsWaiting());

    shell.Answer(TRUE);
    shell.Clear();
    PumpUntil([&] { return shell.Requests().size() >= 1; });
    ASSERT_EQ(1u, shell.Requests().size());
    ExpectTheSameAdd(first, shell.Requests()[0]);
    EXPECT_FALSE(tray.IsWaiting());
    EXPECT_FALSE(KillTimer(tray.m_hWnd, CTrayIcon::s_retryEventId)) << "the timer stops once added";

    // Installed now: requests go out, the double click posts the Option command.
    EXPECT_EQ(ProgramIcon(), tray.GetIcon());
    EXPECT_TRUE(tray.SetTip("now"));
    TakePosted(target.m_hWnd);
    EXPECT_EQ(1, tray.HandleTrayMessage(kIconId, MAKELPARAM(WM_LBUTTONDBLCLK, 0)));
    std::vector<MSG> posted = TakePosted(target.m_hWnd);
    ASSERT_EQ(1u, posted.size());
    EXPECT_EQ((WPARAM)32771, posted[0].wParam);
}

// The timer gives up after its tries; a re-created taskbar still brings the icon.
TEST_F(TrayIconTest, ARefusedIconArrivesWithTheNextTaskbarEvenAfterTheRetriesRanOut)
{
    shell.Answer(FALSE);
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    const TrayRequest first = shell.Requests()[0];
    for (int i = 0; i < CTrayIcon::kRetryCount; ++i)
        SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_retryEventId, 0);
    EXPECT_EQ((size_t)CTrayIcon::kRetryCount + 1, shell.Count(NIM_ADD));
    EXPECT_FALSE(KillTimer(tray.m_hWnd, CTrayIcon::s_retryEventId)) << "the tries ran out";
    EXPECT_TRUE(tray.IsWaiting());

    EXPECT_FALSE(tray.AddAgain()) << "still refused";
    EXPECT_TRUE(tray.IsWaiting());
    shell.Answer(TRUE);
    shell.Clear();
    EXPECT_TRUE(tray.AddAgain());
    ASSERT_EQ(1u, shell.Requests().size());
    ExpectTheSameAdd(first, shell.Requests()[0]);
    EXPECT_FALSE(tray.IsWaiting());
    EXPECT_TRUE(tray.SetIcon(LoadIconA(nullptr, IDI_WARNING)));

    // With the icon in, the retry event adds nothing; the animation's ticks stay its own.
    shell.Clear();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_retryEventId, 0);
    EXPECT_TRUE(shell.Requests().empty());
}

// A busy log-on: the add times out and answers failure, yet the icon is in the tray.
// The modify that follows finds it: the icon counts as installed, so it works and is
// taken out again at the end instead of staying as a ghost.
TEST_F(TrayIconTest, AnAddThatTimedOutButLandedCountsAsInstalled)
{
    shell.ModelTheTray();
    shell.TimeOutNextAdd();
    {
        CTrayIcon tray;
        EXPECT_TRUE(tray.Install(&target, kCallback, "tip", ProgramIcon(), kIconId));
        ASSERT_EQ(2u, shell.Requests().size());
        EXPECT_EQ((DWORD)NIM_ADD, shell.Requests()[0].message);
        const TrayRequest& found = shell.Requests()[1];
        EXPECT_EQ((DWORD)NIM_MODIFY, found.message);
        EXPECT_EQ(target.m_hWnd, found.window);
        EXPECT_EQ(kIconId, found.id);
        EXPECT_FALSE(tray.IsWaiting());
        EXPECT_FALSE(KillTimer(tray.m_hWnd, CTrayIcon::s_retryEventId)) << "nothing to retry";
        EXPECT_EQ(ProgramIcon(), tray.GetIcon());
        EXPECT_TRUE(tray.SetTip("works"));
        EXPECT_TRUE(shell.Holds(target.m_hWnd, kIconId));
    }
    EXPECT_EQ((DWORD)NIM_DELETE, shell.Requests().back().message) << "removed at the end";
    EXPECT_FALSE(shell.Holds(target.m_hWnd, kIconId)) << "no ghost left in the tray";
}

// The same on a retry: refused at first (no taskbar yet), then an add that times out
// while the icon lands; the next try's modify finds it.
TEST_F(TrayIconTest, ARetryThatTimedOutButLandedEndsTheWaiting)
{
    shell.Answer(FALSE);
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    ASSERT_TRUE(tray.IsWaiting());
    shell.ModelTheTray();
    shell.TimeOutNextAdd();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_retryEventId, 0);
    EXPECT_FALSE(tray.IsWaiting());
    EXPECT_TRUE(tray.SetTip("works"));
    tray.Remove();
    EXPECT_FALSE(shell.Holds(target.m_hWnd, kIconId));
}

// Plays the version shell32 reports through the lookup the tray makes at run time.
class ShellVersion {
public:
    // 'major' 0: shell32 has no DllGetVersion at all (shell 4.00).
    ShellVersion(DWORD major, DWORD minor)
        : m_lookup("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&Lookup))
    {
        s_major = major;
        s_minor = minor;
        s_original = m_lookup.Original<LookupFn>();
    }
    bool Hooked() const { return m_lookup.Active(); }

private:
    typedef FARPROC(WINAPI* LookupFn)(HMODULE, LPCSTR);
    struct VersionInfo {
        DWORD cbSize, major, minor, build, platform;
    };
    static HRESULT CALLBACK GetVersion(VersionInfo* info)
    {
        if (info->cbSize < sizeof(VersionInfo))
            return E_INVALIDARG;
        info->major = s_major;
        info->minor = s_minor;
        return S_OK;
    }
    static FARPROC WINAPI Lookup(HMODULE module, LPCSTR name)
    {
        if (HIWORD(name) && strcmp(name, "DllGetVersion") == 0 && module == GetModuleHandleA("shell32.dll"))
            return s_major ? reinterpret_cast<FARPROC>(&GetVersion) : nullptr;
        return s_original(module, name);
    }
    static DWORD s_major, s_minor;
    static LookupFn s_original;
    ImportPatch m_lookup;
};
DWORD ShellVersion::s_major, ShellVersion::s_minor;
ShellVersion::LookupFn ShellVersion::s_original;

TEST_F(TrayIconTest, OnlyShellsThatNeverAnnounceATaskbarAreWatched)
{
    struct Case {
        DWORD major, minor;
        bool announces;
    } cases[] = {{0, 0, false}, {4, 0, false}, {4, 70, false}, {4, 71, true}, {5, 0, true}, {6, 0, true}};
    for (const Case& c : cases) {
        ShellVersion version(c.major, c.minor);
        ASSERT_TRUE(version.Hooked());
        EXPECT_EQ(c.announces, !!CTrayIcon::ShellAnnouncesTaskbar()) << c.major << "." << c.minor;
        CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
        EXPECT_EQ(!c.announces, !!tray.IsWatching()) << c.major << "." << c.minor;
        tray.Remove();
        EXPECT_FALSE(tray.IsWatching());
        EXPECT_FALSE(KillTimer(tray.m_hWnd, CTrayIcon::s_watchEventId)) << "Remove stops the watch";
    }
}

// NT 4.0 without the desktop update: Explorer restarts and says nothing. The watch
// finds the icon gone and adds it again; while it is there, one modify is all a
// tick costs.
TEST_F(TrayIconTest, OnAShellThatNeverAnnouncesTheWatchBringsALostIconBack)
{
    ShellVersion version(0, 0);
    shell.ModelTheTray();
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    ASSERT_TRUE(tray.IsWatching());
    ASSERT_TRUE(shell.Holds(target.m_hWnd, kIconId));
    const TrayRequest first = shell.Requests()[0];

    shell.Clear();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_watchEventId, 0);
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_MODIFY, shell.Requests()[0].message);
    EXPECT_EQ(0u, shell.Requests()[0].flags) << "a question, changing nothing";

    shell.EmptyTheTray();
    shell.Clear();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_watchEventId, 0);
    ASSERT_EQ(2u, shell.Requests().size());
    EXPECT_EQ((DWORD)NIM_MODIFY, shell.Requests()[0].message);
    ExpectTheSameAdd(first, shell.Requests()[1]);
    EXPECT_TRUE(shell.Holds(target.m_hWnd, kIconId));

    // A hidden icon stays out.
    tray.Hide();
    shell.Clear();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_watchEventId, 0);
    EXPECT_EQ(0u, shell.Count(NIM_ADD));
    EXPECT_FALSE(shell.Holds(target.m_hWnd, kIconId));

    // The real timer ticks at its slow period.
    tray.Show();
    shell.EmptyTheTray();
    EXPECT_TRUE(KillTimer(tray.m_hWnd, CTrayIcon::s_watchEventId));
    ASSERT_TRUE(SetTimer(tray.m_hWnd, CTrayIcon::s_watchEventId, 200, nullptr));
    PumpUntil([&] { return shell.Holds(target.m_hWnd, kIconId); });
    EXPECT_TRUE(shell.Holds(target.m_hWnd, kIconId));
}

// The watch also serves an icon that was refused at start and whose retries ran out.
TEST_F(TrayIconTest, OnAShellThatNeverAnnouncesTheWatchAddsAnIconStillWaiting)
{
    ShellVersion version(4, 0);
    shell.Answer(FALSE);
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    ASSERT_TRUE(tray.IsWaiting());
    ASSERT_TRUE(tray.IsWatching());
    shell.ModelTheTray();
    SendMessageA(tray.m_hWnd, WM_TIMER, CTrayIcon::s_watchEventId, 0);
    EXPECT_FALSE(tray.IsWaiting());
    EXPECT_TRUE(shell.Holds(target.m_hWnd, kIconId));
}

// The tray's own window is a top-level window too: a log-off that reaches it first
// runs the program's session action there, once; one called off runs nothing.
int g_sessionActions = 0;
TEST_F(TrayIconTest, ALogOffReachingItsOwnWindowFirstRunsTheSessionAction)
{
    CTrayIcon tray(&target, kCallback, "tip", ProgramIcon(), kIconId);
    g_sessionActions = 0;
    SetSessionEndAction([](void*) { ++g_sessionActions; }, &g_sessionActions);
    SendMessageA(tray.m_hWnd, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(0, g_sessionActions);
    SendMessageA(tray.m_hWnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(1, g_sessionActions);
    SendMessageA(tray.m_hWnd, WM_ENDSESSION, TRUE, 0);
    SendMessageA(target.m_hWnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(1, g_sessionActions);
    ClearSessionEndAction(&g_sessionActions);
}

} // namespace
