// The program while another program holds handles to the GenPort1 service (a services
// console, a monitoring tool): each bracket's deleted service keeps its name until the
// handle goes. Brief holds are waited out, and every answer reaches the card; a hold
// longer than the wait leaves the card on the new clocks, and the user is told.
#include <atomic>
#include <string>
#include <thread>

#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

// Opens GenPort1 whenever it is registered and keeps the handle `holdMs`.
class ServiceMonitor {
public:
    explicit ServiceMonitor(DWORD holdMs) : hold_(holdMs), thread_([this] { Run(); }) {}
    ~ServiceMonitor() {
        stop_ = true;
        thread_.join();
    }
    int Holds() const { return holds_; }

private:
    void Run() {
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        while (!stop_) {
            SC_HANDLE service = OpenServiceA(manager, "GenPort1", SERVICE_QUERY_STATUS);
            if (service) {
                holds_++;
                // Timed on the clock: on a busy machine each Sleep lasts longer, and
                // counted sleeps would stretch a brief hold past the program's wait.
                const DWORD start = GetTickCount();
                while (GetTickCount() - start < hold_ && !stop_) Sleep(20);
                CloseServiceHandle(service);
            }
            Sleep(10);
        }
        CloseServiceHandle(manager);
    }
    DWORD hold_;
    std::atomic<bool> stop_{false};
    std::atomic<int> holds_{0};
    std::thread thread_;
};

const char kCreateFailure[] = "failure: CreateService";
const char kNotReached[] =
    "Zyk Velotune could not reach the graphics card.\nThe card may still run the new clocks.";
const char kNewNotReached[] =
    "Zyk Velotune could not reach the graphics card.\nThe new clocks may not be on the card.";

class DialogServiceHeld : public DialogScenario {
protected:
    // The program's message box with this text, or null.
    HWND Box(const std::string& text) {
        for (HWND box : program_->MessageBoxes())
            if (StaticText(box) == text) return box;
        return nullptr;
    }
    bool Showing(const std::string& text) { return Box(text) != nullptr; }
    // Answers the library's failure box, then waits for the dialog's warning.
    HWND WarningAfterFailure(const std::string& warningText) {
        EXPECT_TRUE(WaitUntil([&] { return Showing(kCreateFailure); }));
        if (HWND failure = Box(kCreateFailure)) PressButton(failure, IDOK);
        HWND warning = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (warning = Box(warningText)) != nullptr; }));
        if (warning) {
            EXPECT_EQ(kTitle, Text(warning));
        }
        return warning;
    }
    // Moves the engine slider to 400, presses OK and waits for the question, which
    // the card's new pair must precede.
    HWND AskAfterNewPair(HWND dialog, const char* caption = "Confirmation") {
        MoveSlider(dialog, kSliderEngine, 400);
        Click(dialog, kOk);
        HWND question = WaitBox(caption);
        EXPECT_EQ(ClockRegister(400, 360, 12), Register());
        return question;
    }
};

TEST_F(DialogServiceHeld, BriefHoldsAreWaitedOutAndOkReachesTheCard) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ServiceMonitor monitor(1000);
    HWND question = AskAfterNewPair(dialog);
    ASSERT_TRUE(question);
    EXPECT_FALSE(Showing(kCreateFailure));
    PressButton(question, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ("400/360", Pair(kCurrent));
    // The next opening programs the stored pair through a held name too.
    program_->Command(ID_OPTION);
    dialog = program_->Dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    EXPECT_FALSE(Showing(kCreateFailure));
    EXPECT_GE(monitor.Holds(), 1);
}

TEST_F(DialogServiceHeld, BriefHoldsAreWaitedOutAndNoPutsTheCommittedPairBack) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ServiceMonitor monitor(1000);
    HWND question = AskAfterNewPair(dialog);
    ASSERT_TRUE(question);
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_FALSE(Showing(kCreateFailure));
    EXPECT_FALSE(Showing(kNotReached)) << "the card was reached";
    EXPECT_GE(monitor.Holds(), 1);
}

TEST_F(DialogServiceHeld, BriefHoldsAreWaitedOutAndTheUnansweredQuestionRevertsTheCard) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ServiceMonitor monitor(1000);
    HWND question = AskAfterNewPair(dialog);
    ASSERT_TRUE(question);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 60)) << "15 s, then the reversion";
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_FALSE(Showing(kCreateFailure));
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(DialogServiceHeld, AHoldBeyondTheWaitIsToldAfterNo) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ServiceMonitor monitor(20000);
    HWND question = AskAfterNewPair(dialog);
    ASSERT_TRUE(question);
    PressButton(question, IDCANCEL);
    // The service manager's failure as the library always reported it, and the
    // dialog's own warning: the card still runs the new pair.
    HWND warning = WarningAfterFailure(kNotReached);
    ASSERT_TRUE(warning);
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    EXPECT_EQ(dialog, GetWindow(warning, GW_OWNER));
    EXPECT_EQ(360, SliderPos(dialog, kSliderEngine)) << "the committed pair, with the warning";
    PressButton(warning, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ("360/360", Pair(kCurrent));
}

// A GenPort1 deleted while this test keeps a handle to it: marked for deletion, its
// name taken, until the handle goes.
class MarkedService {
public:
    MarkedService() {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        service_ = CreateServiceA(manager_, "GenPort1", "GenPort1", SERVICE_ALL_ACCESS,
                                  SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_NORMAL, "C:\\windows\\GenPort1.sys", nullptr,
                                  nullptr, nullptr, nullptr, nullptr);
        marked_ = service_ && DeleteService(service_);
    }
    ~MarkedService() {
        if (service_) CloseServiceHandle(service_);
        if (manager_) CloseServiceHandle(manager_);
    }
    bool Marked() const { return marked_; }

private:
    SC_HANDLE manager_ = nullptr, service_ = nullptr;
    bool marked_ = false;
};

TEST_F(DialogServiceHeld, AServiceHeldBeyondTheWaitAtOkIsToldBeforeTheQuestion) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    HWND warning = nullptr;
    {
        MarkedService held;
        ASSERT_TRUE(held.Marked());
        MoveSlider(dialog, kSliderEngine, 400);
        Click(dialog, kOk);
        warning = WarningAfterFailure(kNewNotReached);
        ASSERT_TRUE(warning);
        EXPECT_EQ(dialog, GetWindow(warning, GW_OWNER));
        EXPECT_EQ(sim::kDefaultClock, Register()) << "the new pair never reached the card";
        EXPECT_EQ(nullptr, FindWindowA(nullptr, "Confirmation")) << "the question waits for the warning";
    }
    // The question comes after it; No puts the committed pair back on the card.
    PressButton(warning, IDOK);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ("360/360", Pair(kCurrent));
}

// --- Traditional Chinese (Taiwan) system: run by dialog_service_held_test_zh_TW ------

using ChineseServiceHeld = ChineseScenario<DialogServiceHeld>;

TEST_F(ChineseServiceHeld, TheWarningIsInChinese) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ServiceMonitor monitor(20000);
    HWND question = AskAfterNewPair(dialog, u8"確認");
    ASSERT_TRUE(question);
    PressButton(question, IDCANCEL);
    // The test reads window texts as UTF-8; the program shows its Big5 text.
    HWND warning = WarningAfterFailure(u8"Zyk Velotune 無法存取顯示卡.\n顯示卡可能仍在使用新的時脈.");
    ASSERT_TRUE(warning);
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    PressButton(warning, IDOK);
}

}  // namespace
}  // namespace dlgtest
