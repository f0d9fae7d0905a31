// OK, Cancel, Enter and Escape of the main dialog: the card and the registry after each.
#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

const char kNotReached[] =
    "Zyk Velotune could not reach the graphics card.\nThe card may still run the new clocks.";
const char kNewNotReached[] =
    "Zyk Velotune could not reach the graphics card.\nThe new clocks may not be on the card.";

class DialogApply : public DialogScenario {
protected:
    bool Closed(HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }); }
    // Waits for the program's message box with this text, checks its caption and
    // presses its button; false when none came.
    bool Acknowledge(const std::string& text) {
        HWND box = nullptr;
        WaitUntil([&] {
            for (HWND b : program_->MessageBoxes())
                if (StaticText(b) == text) box = b;
            return box != nullptr;
        }, 15);
        if (!box) return false;
        EXPECT_EQ(kTitle, Text(box));
        PressButton(box, IDOK);
        return WaitUntil([&] { return !IsWindow(box); });
    }
};

TEST_F(DialogApply, OkWithUnchangedSlidersClosesWithoutTouchingCardOrRegistry) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    sim::ClearAccessLog();
    Click(dialog, kOk);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(nullptr, program_->Find("Confirmation"));
    EXPECT_TRUE(sim::AccessLog().empty());
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_TRUE(program_->Running()) << "the program stays in the tray";
}

TEST_F(DialogApply, OkConfirmedStoresThePendingPair) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    EXPECT_TRUE(Enabled(dialog, kTest));
    EXPECT_EQ(sim::kDefaultClock, Register()) << "moving a slider never touches the card";
    Click(dialog, kOk);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    EXPECT_EQ("360/360", Pair(kCurrent)) << "nothing stored before the answer";
    EXPECT_EQ("Your AGP clock has been changed.\nDo you want to keep these changed ?", StaticText(question));
    EXPECT_EQ("OK", Text(GetDlgItem(question, IDOK)));
    EXPECT_EQ("Cancel", Text(GetDlgItem(question, IDCANCEL)));
    PressButton(question, IDOK);
    ASSERT_TRUE(Closed(dialog));
    // OK stores the slider value, not the read-back one (400 runs as 401).
    EXPECT_EQ("400/360", Pair(kCurrent));
    EXPECT_EQ("360/360", Pair(kDefault));
}

TEST_F(DialogApply, OkDeclinedPutsTheCommittedPairBack) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderMemory, 300);
    Click(dialog, kOk);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(ClockRegister(360, 300, 12), Register());
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ("360/360", Pair(kCurrent));
}

// A card whose reads cannot be trusted: the setters write nothing, and the user hears
// of it after OK (before the question) and again after declining.
TEST_F(DialogApply, ASetterThatRefusedIsWarnedOfAfterOkAndAfterTheDecline) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    sim::MakeReadsFlaky(kIoBase, 1000);
    Click(dialog, kOk);
    ASSERT_TRUE(Acknowledge(kNewNotReached));
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(sim::kDefaultClock, Register()) << "nothing garbled written";
    EXPECT_EQ(0u, sim::CardState(kIoBase).ignoredWrites);
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(Acknowledge(kNotReached));
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(DialogApply, CancelEnterAndEscapeApplyAndStoreNothing) {
    struct Way {
        const char* what;
        void (*close)(HWND dialog);
    } ways[] = {
        {"Cancel", [](HWND d) { Click(d, kCancel); }},
        {"Enter", [](HWND d) { PressKey(FocusOf(d), VK_RETURN); }},
        {"Escape", [](HWND d) { PressKey(FocusOf(d), VK_ESCAPE); }},
    };
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    for (const Way& way : ways) {
        MoveSlider(dialog, kSliderEngine, 300);
        MoveSlider(dialog, kSliderMemory, 420);
        sim::ClearAccessLog();
        way.close(dialog);
        ASSERT_TRUE(Closed(dialog)) << way.what;
        EXPECT_EQ(nullptr, program_->Find("Confirmation")) << way.what;
        EXPECT_TRUE(sim::AccessLog().empty()) << way.what;
        EXPECT_EQ(sim::kDefaultClock, Register()) << way.what;
        EXPECT_EQ("360/360", Pair(kCurrent)) << way.what;
        program_->Command(ID_OPTION);
        dialog = program_->WaitFor(kTitle, "#32770");
        ASSERT_TRUE(dialog) << way.what;
    }
}

}  // namespace
}  // namespace dlgtest
