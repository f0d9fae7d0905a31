// Opening the main dialog: what reaches the registry, the sliders and the card.
#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

class DialogStartup : public DialogScenario {};

TEST_F(DialogStartup, FirstStartStoresTheCardsPairAndCentresTheRanges) {
    // 183 MHz engine and 300 MHz memory at R = 9.
    Card(0x0A12, ClockRegister(183, 300, 9));
    HWND dialog = Start();
    ASSERT_TRUE(dialog);
    EXPECT_EQ("183/300", Pair(kCurrent));
    EXPECT_EQ("183/300", Pair(kDefault));
    EXPECT_EQ(147, SliderMin(dialog, kSliderEngine));
    EXPECT_EQ(219, SliderMax(dialog, kSliderEngine));
    EXPECT_EQ(240, SliderMin(dialog, kSliderMemory));
    EXPECT_EQ(360, SliderMax(dialog, kSliderMemory));
    EXPECT_EQ(183, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ(300, SliderPos(dialog, kSliderMemory));
    EXPECT_FALSE(Enabled(dialog, kTest));
    EXPECT_FALSE(Enabled(dialog, kDelete));
    EXPECT_TRUE(regtest::KeyExists(kCustomer)) << "the profile list creates its key";
    // Topmost, at half the screen's width less 30, at the top.
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - 30, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(DialogStartup, OnlyEngineStoredRewritesBothFromTheCard) {
    regtest::WriteDword(kCurrent, "engine", 250);
    StorePair(kDefault, 360, 360);
    HWND dialog = Start();
    ASSERT_TRUE(dialog);
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_EQ(360, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ(sim::kDefaultClock, Register());
}

TEST_F(DialogStartup, EveryOpeningProgramsTheStoredPair) {
    StorePair(kCurrent, 300, 320);
    StorePair(kDefault, 360, 360);
    HWND dialog = Start();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ClockRegister(300, 320, 12), Register());
    EXPECT_EQ(300, SliderPos(dialog, kSliderEngine));

    Click(dialog, kCancel);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    // Something else changes the card; the next opening sets the stored pair again.
    sim::SetIoRegister(kIoBase, 0x0A, sim::kDefaultClock);
    program_->Command(ID_OPTION);
    dialog = program_->WaitFor(kTitle, "#32770");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ClockRegister(300, 320, 12), Register());
    EXPECT_EQ("300/320", Pair(kCurrent));
}

// A stored pair far outside the range (999 would give dividers 255/255, 1 a zero
// divider that stops the engine) reaches the card clamped into the sliders' range,
// and the clamped pair is the committed one: OK closes at once.
TEST_F(DialogStartup, AStoredPairOutsideTheRangeIsProgrammedClamped) {
    StorePair(kCurrent, 999, 999);
    StorePair(kDefault, 360, 360);  // range 288 .. 432 for both
    HWND dialog = Start();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ClockRegister(432, 432, 12), Register());
    EXPECT_EQ(432, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ(432, SliderPos(dialog, kSliderMemory));
    Click(dialog, kOk);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(program_->MessageBoxes().empty()) << "nothing to confirm";
    EXPECT_EQ("999/999", Pair(kCurrent)) << "the registry is left as it was";

    StorePair(kCurrent, 1, 1);
    program_->Command(ID_OPTION);
    dialog = program_->WaitFor(kTitle, "#32770");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ClockRegister(288, 288, 12), Register());
    EXPECT_EQ(288, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ(288, SliderPos(dialog, kSliderMemory));
}

TEST_F(DialogStartup, AnUnlistedCardUsesSlashKeys) {
    Card(0x0B99, sim::kDefaultClock);
    ASSERT_TRUE(Start());
    EXPECT_EQ("360/360", Pair("SOFTWARE\\ZYK\\ZYK_OC\\current\\/"));
    EXPECT_EQ("360/360", Pair("SOFTWARE\\ZYK\\ZYK_OC\\default\\/"));
    EXPECT_EQ(std::vector<std::string>{"/"}, regtest::Subkeys("SOFTWARE\\ZYK\\ZYK_OC\\current"));
}

// The program has ended (within 5 seconds) with this code.
void ExpectExitCode(Program& program, int expected) {
    int code = 0;
    EXPECT_TRUE(program.WaitExit(5, &code)) << "still running";
    EXPECT_EQ(expected, code);
}

// Every "Setting file not found." is answered; the program ends with -1 and the main
// dialog never stays up.
void ExpectSkinMissingExit(Program& program) {
    int boxes = 0, texts = 0;
    bool dialogSeen = false;
    WaitUntil(
        [&] {
            if (program.Find(kTitle, "#32770")) dialogSeen = true;
            if (HWND box = program.Find("error", "#32770")) {
                // Boxes shown after the quit request close by themselves: read what
                // is still there.
                std::string text = StaticText(box);
                if (!text.empty()) {
                    EXPECT_EQ("Setting file not found.", text);
                    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
                    ++texts;
                }
                PressButton(box, IDOK);
                WaitUntil([&] { return !IsWindow(box); });
                ++boxes;
            }
            return !program.Running();
        },
        60);
    EXPECT_GE(boxes, 1);
    EXPECT_GE(texts, 1);
    EXPECT_FALSE(dialogSeen);
    ExpectExitCode(program, -1);
}

TEST_F(DialogStartup, NoSkinFileEndsWithMinusOneBeforeAnyDialog) {
    Prepare().Remove("Config_USA.INI");
    Program program(*folder_);
    ExpectSkinMissingExit(program);
}

// A skin path longer than its 100-character buffer is treated as a missing file
// rather than cut (a cut path would name another file).
TEST_F(DialogStartup, ASkinPathLongerThanItsBufferCountsAsMissing) {
    Prepare();
    std::string deep = folder_->path + "\\" + std::string(60, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
    for (const char* f : {"tunedeck.exe", "busprobe.dll", "portgate.dll", "GenPort1.sys",
                          "Config_USA.INI", "Orbview.exe"})
        CopyFileA((folder_->path + "\\" + f).c_str(), (deep + "\\" + f).c_str(), FALSE);
    ASSERT_GT(deep.size() + strlen("\\Config_USA.INI"), 100u);
    Folder nested = *folder_;
    nested.path = deep;
    Program program(nested);
    ExpectSkinMissingExit(program);
}

// No key can be made below SOFTWARE\ZYK\ZYK_OC: each value the start-up reading
// cannot write is reported and the opening goes on; the profile list's key is
// reported too, and then the program ends with -1.
TEST_F(DialogStartup, ARegistryThatCannotBeWrittenIsReportedAndEndsTheProgramAtTheList) {
    ASSERT_TRUE(regtest::CreateVolatile("SOFTWARE\\ZYK\\ZYK_OC"));
    Program program(Prepare());
    int boxes = 0;
    WaitUntil(
        [&] {
            if (HWND box = program.Find("registry key create error", "#32770")) {
                EXPECT_EQ("Could not create the registry key.", StaticText(box));
                EXPECT_EQ(kTitle, Text(GetWindow(box, GW_OWNER))) << "owned by the main dialog";
                PressButton(box, IDOK);
                WaitUntil([&] { return !IsWindow(box); });
                ++boxes;
            }
            return !program.Running();
        },
        60);
    // "engine" and "memory" of the current and of the default key, then the list.
    EXPECT_EQ(5, boxes);
    ExpectExitCode(program, -1);
    EXPECT_EQ(sim::kDefaultClock, Register());
}

}  // namespace
}  // namespace dlgtest
