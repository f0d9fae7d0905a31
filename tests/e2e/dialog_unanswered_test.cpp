// The keep-the-clocks question that nobody answers (the new pair may have left the
// screen unreadable): it counts down under its text and, after 15 seconds, ends as No
// does, after OK and after Test. An answer before the end counts as usual.
#include <string>
#include <vector>

#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

constexpr const char* kKeepText = "Your AGP clock has been changed.\nDo you want to keep these changed ?";

double Seconds() { return GetTickCount() / 1000.0; }

std::string Countdown(HWND question) { return Text(GetDlgItem(question, IDC_STATIC_KEEPCLOCK_COUNTDOWN)); }

std::string English(int seconds) {
    return "Restoring the previous clocks in " + std::to_string(seconds) + " s";
}

class DialogUnanswered : public DialogScenario {
protected:
    // A short stand-in for Orbview.exe, so that the Test flow reaches its question soon.
    void QuickStandIn() {
        Prepare().Put(BinDirectory() + "\\demo_stub.exe", "Orbview.exe");
        folder_->Write("Orbview.exe.life", "300");
    }

    // Waits for the question and leaves it alone; returns the texts it showed under
    // its message, in order, and the seconds from its appearance to its end.
    struct Watched {
        std::vector<std::string> shown;
        double seconds = -1;
        bool fixedPartsKept = true;
    };
    Watched WatchUnanswered() {
        Watched w;
        HWND question = WaitBox("Confirmation");
        if (!question) return w;
        const double t0 = Seconds();
        while (IsWindow(question) && Seconds() - t0 < 25) {
            std::string now = Countdown(question);
            if (!IsWindow(question)) break;
            if (!now.empty() && (w.shown.empty() || w.shown.back() != now)) {
                w.shown.push_back(now);
                w.fixedPartsKept = w.fixedPartsKept && StaticText(question) == kKeepText &&
                                   Text(question) == "Confirmation" &&
                                   Text(GetDlgItem(question, IDOK)) == "OK" &&
                                   Text(GetDlgItem(question, IDCANCEL)) == "Cancel";
            }
            Sleep(50);
        }
        if (!IsWindow(question)) w.seconds = Seconds() - t0;
        return w;
    }

    // Leaves the question unanswered: it counts 15 to 1 under its unchanged text,
    // caption and buttons, and ends by itself after 15 seconds.
    void ExpectItEndsByItself() {
        const Watched w = WatchUnanswered();
        std::vector<std::string> expected;
        for (int s = 15; s >= 1; --s) expected.push_back(English(s));
        EXPECT_EQ(expected, w.shown);
        EXPECT_TRUE(w.fixedPartsKept) << "caption, text and buttons stay as they are";
        // Seen from here it appears a little late, so it may end a little before 15 s.
        EXPECT_GE(w.seconds, 14.8);
        EXPECT_LE(w.seconds, 17.0);
    }

    // Answers the question with `button` 14 seconds after it appeared.
    void AnswerAtSecond14(int button) {
        HWND question = WaitBox("Confirmation");
        ASSERT_TRUE(question);
        const double t0 = Seconds();
        while (Seconds() - t0 < 14.0) Sleep(20);
        ASSERT_TRUE(IsWindow(question)) << "ended before second 14";
        EXPECT_EQ(English(1), Countdown(question));
        PressButton(question, button);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5));
    }
};

TEST_F(DialogUnanswered, AfterOkTheQuestionEndsByItselfAsNoAndTheCardGoesBack) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    Click(dialog, kOk);
    ExpectItEndsByItself();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5)) << "closed as a declined OK";
    EXPECT_EQ(sim::kDefaultClock, Register());
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_EQ("360/360", Pair(kDefault));
    EXPECT_TRUE(program_->Running());
}

TEST_F(DialogUnanswered, AfterTestTheQuestionEndsByItselfAndTheDialogStaysOnTheCommittedPair) {
    QuickStandIn();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderMemory, 420);
    Click(dialog, kTest);
    ExpectItEndsByItself();
    ASSERT_TRUE(WaitUntil([&] { return Register() == sim::kDefaultClock; }, 5));
    ASSERT_TRUE(WaitUntil([&] { return !Enabled(dialog, kTest); }, 5));
    EXPECT_TRUE(IsWindow(dialog)) << "the main dialog stays open after Test";
    EXPECT_EQ(360, SliderPos(dialog, kSliderMemory));
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(DialogUnanswered, AnOkAtSecond14AfterOkIsKept) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    Click(dialog, kOk);
    AnswerAtSecond14(IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5));
    EXPECT_EQ(ClockRegister(400, 360, 12), Register());
    EXPECT_EQ("400/360", Pair(kCurrent));
}

TEST_F(DialogUnanswered, AnOkAtSecond14AfterTestIsKeptAndTheNextQuestionCountsAfresh) {
    QuickStandIn();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 300);
    Click(dialog, kTest);
    AnswerAtSecond14(IDOK);
    // 300 MHz at R = 12 runs as 299: the read-back pair is committed and stored.
    ASSERT_TRUE(WaitUntil([&] { return Pair(kCurrent) == "299/360"; }, 5));
    EXPECT_EQ(ClockRegister(300, 360, 12), Register());

    // A second question starts again at 15 seconds.
    MoveSlider(dialog, kSliderEngine, 320);
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(English(15), Countdown(question));
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return Register() == ClockRegister(300, 360, 12); }, 5));
    EXPECT_EQ("299/360", Pair(kCurrent));
}

// --- Traditional Chinese (Taiwan) system: run by dialog_unanswered_test_zh_TW --------

using ChineseUnanswered = ChineseScenario<DialogScenario>;

TEST_F(ChineseUnanswered, TheSecondsLeftAreShownInChinese) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    Click(dialog, kOk);
    HWND question = WaitBox(u8"確認");
    ASSERT_TRUE(question);
    EXPECT_EQ(u8"15 秒後還原原來的時脈", Countdown(question));
    ASSERT_TRUE(WaitUntil([&] { return Countdown(question) == u8"14 秒後還原原來的時脈"; }, 3));
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5));
    EXPECT_EQ(sim::kDefaultClock, Register());
}

}  // namespace
}  // namespace dlgtest
