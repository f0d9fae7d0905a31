// Log-off, shut-down and suspend while the keep-the-clocks question is open. The system
// sends the messages to every top-level window of the program (the hidden frame, the
// main dialog, the question, the tray's own window) and may end the process as soon as
// one has returned: whichever gets it first puts the committed pair back before it
// returns, once, and the question ends as No with nothing stored. The queries grant
// and change nothing, and a log-off called off (WM_ENDSESSION with FALSE) leaves the
// question open. Sent from here as the system sends them; the card is read when each
// send returns.
#include <string>
#include <vector>

#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

const LPARAM kLogoff = static_cast<LPARAM>(0x80000000);  // ENDSESSION_LOGOFF

// Writes to the card's data port: each programming of a pair makes some.
size_t DataWrites() {
    size_t n = 0;
    for (const sim::PortAccess& a : sim::AccessLog())
        n += a.write && a.port == kIoBase + 12;
    return n;
}

class DialogSession : public DialogScenario {
protected:
    void QuickStandIn() {
        Prepare().Put(BinDirectory() + "\\demo_stub.exe", "Orbview.exe");
        folder_->Write("Orbview.exe.life", "300");
    }

    // The question after OK (or Test) with the engine slider at 400; the card on 400.
    HWND AskAfter(int button) {
        if (button == kTest) QuickStandIn();
        dialog_ = Open();
        if (!dialog_) return nullptr;
        MoveSlider(dialog_, kSliderEngine, 400);
        Click(dialog_, button);
        HWND question = WaitBox("Confirmation");
        EXPECT_EQ(ClockRegister(400, 360, 12), Register());
        return question;
    }

    // The program's top-level windows with 'first' in front: the one the system
    // happens to reach first.
    std::vector<HWND> Windows(HWND first) {
        std::vector<HWND> all{first};
        for (HWND w : e2e::TopLevelWindows(program_->Pid()))
            if (w != first) all.push_back(w);
        return all;
    }

    // Every window of the program's own grants the query, and nothing changes. (The
    // system's own windows of the process, the combo box's list and the input
    // method's, answer as the platform does.)
    void ExpectQueriesGranted(const std::vector<HWND>& windows, UINT message, WPARAM wParam, LPARAM lParam,
                              HWND question) {
        sim::ClearAccessLog();
        for (HWND w : windows) {
            const std::string cls = e2e::ClassName(w);
            const LRESULT answer = SendMessageA(w, message, wParam, lParam);
            if (cls != "ComboLBox" && cls != "IME") EXPECT_EQ(TRUE, answer) << cls;
        }
        EXPECT_EQ(0u, DataWrites()) << "a query touched the card";
        EXPECT_EQ(ClockRegister(400, 360, 12), Register());
        EXPECT_TRUE(IsWindow(question) && IsWindowVisible(question)) << "the question stays";
    }

    // The ending sent to each window, twice over: the card is on the committed pair
    // as soon as the first send returns, and programmed only once.
    size_t ExpectOneRevertOnFirstSend(const std::vector<HWND>& windows, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
        sim::ClearAccessLog();
        SendMessageA(windows[0], message, wParam, lParam);
        EXPECT_EQ(sim::kDefaultClock, Register()) << "not back when " << e2e::ClassName(windows[0]) << " returned";
        const size_t writes = DataWrites();
        EXPECT_GT(writes, 0u);
        for (int round = 0; round < 2; ++round)
            for (HWND w : windows)
                if (IsWindow(w)) SendMessageA(w, message, wParam, lParam);
        EXPECT_EQ(writes, DataWrites()) << "programmed again";
        EXPECT_EQ(sim::kDefaultClock, Register());
        return writes;
    }

    // After OK: the question ended as No, so the main dialog closed as a declined OK,
    // with nothing stored and the card not programmed a second time, and the program
    // stays.
    void ExpectDeclinedOk(HWND question, size_t writes) {
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) && !IsWindow(dialog_); }));
        EXPECT_EQ(writes, DataWrites()) << "the declined OK programmed the card again";
        EXPECT_EQ(sim::kDefaultClock, Register());
        EXPECT_EQ("360/360", Pair(kCurrent));
        EXPECT_EQ(nullptr, program_->MessageBox(0.5)) << "the card was reached: nothing to tell";
        EXPECT_TRUE(program_->Running());
    }
};

TEST_F(DialogSession, LogOffReachingTheFrameFirstRevertsBeforeItReturns) {
    HWND question = AskAfter(kOk);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(program_->Frame());
    ExpectQueriesGranted(windows, WM_QUERYENDSESSION, 0, kLogoff, question);
    const size_t writes = ExpectOneRevertOnFirstSend(windows, WM_ENDSESSION, TRUE, kLogoff);
    ExpectDeclinedOk(question, writes);
}

TEST_F(DialogSession, ShutDownReachingTheMainDialogFirstRevertsBeforeItReturns) {
    HWND question = AskAfter(kOk);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(dialog_);
    ExpectQueriesGranted(windows, WM_QUERYENDSESSION, 0, 0, question);
    const size_t writes = ExpectOneRevertOnFirstSend(windows, WM_ENDSESSION, TRUE, 0);
    ExpectDeclinedOk(question, writes);
}

TEST_F(DialogSession, LogOffReachingTheQuestionFirstRevertsBeforeItReturns) {
    HWND question = AskAfter(kOk);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(question);
    ExpectQueriesGranted(windows, WM_QUERYENDSESSION, 0, kLogoff, question);
    const size_t writes = ExpectOneRevertOnFirstSend(windows, WM_ENDSESSION, TRUE, kLogoff);
    ExpectDeclinedOk(question, writes);
}

// Another program refused the log-off: the session goes on, and so does the question.
TEST_F(DialogSession, ALogOffCalledOffChangesNothing) {
    HWND question = AskAfter(kOk);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(program_->Frame());
    ExpectQueriesGranted(windows, WM_QUERYENDSESSION, 0, kLogoff, question);
    sim::ClearAccessLog();
    for (HWND w : windows) SendMessageA(w, WM_ENDSESSION, FALSE, kLogoff);
    EXPECT_EQ(0u, DataWrites());
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    Sleep(300);
    ASSERT_TRUE(IsWindow(question) && IsWindowVisible(question)) << "the question is still open";
    EXPECT_EQ("360/360", Pair(kCurrent));
    // And it still answers as usual.
    PressButton(question, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
    EXPECT_EQ("400/360", Pair(kCurrent));
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
}

TEST_F(DialogSession, SuspendDuringTheQuestionAfterOkRevertsBeforeItReturns) {
    HWND question = AskAfter(kOk);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(question);
    ExpectQueriesGranted(windows, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, question);
    const size_t writes = ExpectOneRevertOnFirstSend(windows, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    ExpectDeclinedOk(question, writes);
}

// After Test the main dialog stays, back on the committed pair, with Test disabled.
TEST_F(DialogSession, SuspendDuringTheQuestionAfterTestRevertsAndTheDialogStays) {
    HWND question = AskAfter(kTest);
    ASSERT_TRUE(question);
    const std::vector<HWND> windows = Windows(program_->Frame());
    ExpectQueriesGranted(windows, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, question);
    const size_t writes = ExpectOneRevertOnFirstSend(windows, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    ASSERT_TRUE(WaitUntil([&] { return !Enabled(dialog_, kTest); }));
    EXPECT_EQ(writes, DataWrites()) << "programmed again after the question";
    EXPECT_TRUE(IsWindow(dialog_)) << "the main dialog stays open after Test";
    EXPECT_EQ(360, SliderPos(dialog_, kSliderEngine));
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ("360/360", Pair(kCurrent));

    // No question open: a later suspend leaves the card alone.
    sim::ClearAccessLog();
    for (HWND w : Windows(program_->Frame())) SendMessageA(w, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(0u, DataWrites());
}

}  // namespace
}  // namespace dlgtest
