// The Test button: the pending pair on the card while the demonstration program runs,
// then keep (stored as read back, dialog stays open) or revert.
#include <algorithm>

#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

class DialogTestRun : public DialogScenario {
protected:
    // The stand-in for Orbview.exe (records its start, lives `lifeMs`, or forever).
    void StandIn(int lifeMs) {
        Prepare().Put(BinDirectory() + "\\demo_stub.exe", "Orbview.exe");
        if (lifeMs >= 0) folder_->Write("Orbview.exe.life", std::to_string(lifeMs));
    }
};

// Yes after Test stores what the card runs as read back; a read-back in doubt says
// nothing of that, so nothing is stored and the user is warned.
TEST_F(DialogTestRun, AReadBackInDoubtAfterYesStoresNothingAndWarns) {
    Prepare().Remove("Orbview.exe");
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 300);
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(ClockRegister(300, 360, 12), Register());
    sim::MakeReadsFlaky(kIoBase, 1000);
    PressButton(question, IDOK);
    const std::string warning =
        "Zyk Velotune could not reach the graphics card.\nThe card may still run the new clocks.";
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND b : program_->MessageBoxes())
            if (StaticText(b) == warning) box = b;
        return box != nullptr;
    }, 15));
    EXPECT_EQ("360/360", Pair(kCurrent)) << "nothing stored";
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_EQ(ClockRegister(300, 360, 12), Register()) << "nothing written back";
}

TEST_F(DialogTestRun, WithoutOrbviewTheQuestionComesAtOnceAndCancelReverts) {
    Prepare().Remove("Orbview.exe");
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 300);
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(ClockRegister(300, 360, 12), Register());
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    ASSERT_TRUE(WaitUntil([&] { return !Enabled(dialog, kTest); }));
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ(360, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(DialogTestRun, AProgramEndingByItselfIsFollowedByTheQuestionAndOkStoresTheReadBack) {
    StandIn(2000);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 300);
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_TRUE(folder_->Has("Orbview.exe.ended")) << "asked before the program ended";
    std::string started = folder_->Read("Orbview.exe.started");
    started.erase(std::remove(started.begin(), started.end(), '\r'), started.end());
    EXPECT_NE(std::string::npos, started.find("flags=6\n"));
    EXPECT_NE(std::string::npos, started.find("x=0\ny=0\n"));
    EXPECT_NE(std::string::npos,
              started.find("width=" + std::to_string(GetSystemMetrics(SM_CXSCREEN) / 2) + "\n"));
    EXPECT_NE(std::string::npos, started.find("commandline=\"" + folder_->path + "\\Orbview.exe\"\n"));

    PressButton(question, IDOK);
    // 300 MHz at R = 12 runs as 299: that is what is stored and shown.
    ASSERT_TRUE(WaitUntil([&] { return Pair(kCurrent) == "299/360"; }));
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 299; }));
    EXPECT_FALSE(Enabled(dialog, kTest));
    EXPECT_EQ(ClockRegister(300, 360, 12), Register());

    // A later OK with unchanged sliders closes at once, without a second question.
    sim::ClearAccessLog();
    Click(dialog, kOk);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(nullptr, program_->Find("Confirmation"));
    EXPECT_TRUE(sim::AccessLog().empty());
    EXPECT_EQ("299/360", Pair(kCurrent));
}

TEST_F(DialogTestRun, AProgramStillRunningIsTerminated) {
    StandIn(-1);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderMemory, 400);
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    ASSERT_TRUE(folder_->Has("Orbview.exe.started"));
    EXPECT_FALSE(folder_->Has("Orbview.exe.ended")) << "it was ended from outside";
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return Register() == sim::kDefaultClock; }));
}

TEST_F(DialogTestRun, TheRealOrbviewRunsInTheTopLeftQuarterUntilTerminated) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 405);
    Click(dialog, kTest);
    HWND orbview = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        orbview = FindWindowA("OrbviewWindow", nullptr);
        return orbview && IsWindowVisible(orbview);
    }));
    RECT r;
    GetWindowRect(orbview, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2, r.right - r.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2, r.bottom - r.top);
    EXPECT_EQ(ClockRegister(405, 360, 12), Register()) << "it runs on the tested pair";

    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_FALSE(IsWindow(orbview)) << "still running when the question came";
    PressButton(question, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return Pair(kCurrent) == "405/360"; }));
    EXPECT_TRUE(IsWindow(dialog));
}

}  // namespace
}  // namespace dlgtest
