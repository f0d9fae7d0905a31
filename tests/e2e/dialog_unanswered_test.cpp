// The keep-the-clocks question that nobody answers (the new pair may have left the
// screen unreadable): it counts down under its text and, after 15 seconds, ends as No
// does, after OK and after Test. An answer before the end counts as usual.
#include <cmath>
#include <cstdlib>
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

// A busy machine only makes things late, the question's ticks and the test's looks
// alike: every bound below holds however late either comes. The question counts on
// the system clock the test reads too.
class DialogUnanswered : public DialogScenario {
protected:
    // A short stand-in for Orbview.exe, so that the Test flow reaches its question soon.
    void QuickStandIn() {
        Prepare().Put(BinDirectory() + "\\demo_stub.exe", "Orbview.exe");
        folder_->Write("Orbview.exe.life", "300");
    }

    // The question, once it is shown; `notYet` gets the last moment (Seconds()) the
    // program had no dialog besides `dialog`, visible or not: the question's count
    // begins after it.
    HWND WaitQuestion(HWND dialog, double* notYet) {
        *notYet = Seconds();
        WaitUntil([&] {
            for (HWND w : e2e::TopLevelWindows(program_->Pid(), "#32770"))
                if (w != dialog) return true;
            *notYet = Seconds();
            return false;
        });
        return WaitBox("Confirmation");
    }

    // Waits for the question and leaves it alone; returns the texts it showed under
    // its message, in order, and the seconds from before it began to its end.
    struct Watched {
        std::vector<std::string> shown;
        double seconds = -1;
        bool fixedPartsKept = true;
    };
    Watched WatchUnanswered(HWND dialog) {
        Watched w;
        double t0;
        HWND question = WaitQuestion(dialog, &t0);
        if (!question) return w;
        while (IsWindow(question) && Seconds() - t0 < 60) {
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
    // caption and buttons, and ends by itself, not before 15 seconds have passed.
    void ExpectItEndsByItself(HWND dialog) {
        const Watched w = WatchUnanswered(dialog);
        std::vector<std::string> expected;
        for (int s = 15; s >= 1; --s) expected.push_back(English(s));
        EXPECT_EQ(expected, w.shown);
        EXPECT_TRUE(w.fixedPartsKept) << "caption, text and buttons stay as they are";
        // Measured from before it began and seen after it ended, so never less than
        // its 15 s, however busy the machine; an end after "1 s" is the count's own.
        // The upper bound leaves ten seconds to a late look, yet a question that
        // lingers on its last second (or counts seconds of twice the length) fails.
        EXPECT_GE(w.seconds, 15.0) << "ended early";
        EXPECT_LE(w.seconds, 25.0) << "ended late";
    }

    // Answers the question with `button` in its last second: once it counts "1 s",
    // 14 seconds have passed on its own clock, and about one is left for the answer
    // to be queued (a posted message comes before its timer's).
    void AnswerAtSecond14(int button) {
        HWND question = WaitBox("Confirmation");
        ASSERT_TRUE(question);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) || Countdown(question) == English(1); }));
        ASSERT_TRUE(IsWindow(question)) << "ended before its last second";
        PressButton(question, button);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    }
};

// The count a question shows when read `since` seconds after the action that opened
// it: 15 when read within its first second, and never below what that time allows.
void ExpectAFreshCount(int shown, double since) {
    const int fewest = static_cast<int>(std::ceil(15 - since));
    EXPECT_LE(shown, 15);
    EXPECT_GE(shown, fewest < 1 ? 1 : fewest) << "read " << since << " s after the action";
}

// The number of seconds in a countdown text (0 when it holds none).
int CountOf(const std::string& countdown) {
    const size_t digit = countdown.find_first_of("0123456789");
    return digit == std::string::npos ? 0 : atoi(countdown.c_str() + digit);
}

TEST_F(DialogUnanswered, AfterOkTheQuestionEndsByItselfAsNoAndTheCardGoesBack) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    Click(dialog, kOk);
    ExpectItEndsByItself(dialog);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "closed as a declined OK";
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
    ExpectItEndsByItself(dialog);
    ASSERT_TRUE(WaitUntil([&] { return Register() == sim::kDefaultClock; }));
    ASSERT_TRUE(WaitUntil([&] { return !Enabled(dialog, kTest); }));
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
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
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
    ASSERT_TRUE(WaitUntil([&] { return Pair(kCurrent) == "299/360"; }));
    EXPECT_EQ(ClockRegister(300, 360, 12), Register());

    // A second question starts again at 15 seconds.
    MoveSlider(dialog, kSliderEngine, 320);
    const double clicked = Seconds();
    Click(dialog, kTest);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    const std::string shown = Countdown(question);
    EXPECT_EQ(English(CountOf(shown)), shown);
    ExpectAFreshCount(CountOf(shown), Seconds() - clicked);
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return Register() == ClockRegister(300, 360, 12); }));
    EXPECT_EQ("299/360", Pair(kCurrent));
}

// --- Traditional Chinese (Taiwan) system: run by dialog_unanswered_test_zh_TW --------

using ChineseUnanswered = ChineseScenario<DialogScenario>;

TEST_F(ChineseUnanswered, TheSecondsLeftAreShownInChinese) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    const double clicked = Seconds();
    Click(dialog, kOk);
    HWND question = WaitBox(u8"確認");
    ASSERT_TRUE(question);
    auto chinese = [](int s) { return std::to_string(s) + u8" 秒後還原原來的時脈"; };
    const std::string shown = Countdown(question);
    const int first = CountOf(shown);
    EXPECT_EQ(chinese(first), shown);
    ExpectAFreshCount(first, Seconds() - clicked);
    ASSERT_TRUE(WaitUntil([&] { return Countdown(question) == chinese(first - 1); }));
    PressButton(question, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(sim::kDefaultClock, Register());
}

}  // namespace
}  // namespace dlgtest
