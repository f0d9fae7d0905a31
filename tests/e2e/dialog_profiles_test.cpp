// The profile list of the main dialog: saving, overwriting, deleting and choosing
// entries, checked in the list, on the sliders, in the registry and on the card.
#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

const std::string kFast = std::string(kCustomer) + "\\fast";

class DialogProfiles : public DialogScenario {
protected:
    // Save as `name` through the name dialog; waits until it has gone.
    void SaveAs(HWND dialog, const std::string& name) {
        Click(dialog, kSaveAs);
        HWND box = WaitBox("Profile");
        ASSERT_TRUE(box);
        EXPECT_EQ("Save as", StaticText(box));
        AnswerName(box, name);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        // A round trip through the dialog's thread: the handler has returned.
        ProfileEntries(dialog);
    }
    std::vector<std::string> Fixed() { return {"(Current settings)", "Default"}; }
};

TEST_F(DialogProfiles, SavingAddsTheEntryWithTheSliderPair) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderEngine, 400);
    SaveAs(dialog, "fast");
    EXPECT_EQ("400/360", Pair(kFast.c_str()));
    EXPECT_EQ(REG_DWORD, regtest::Type(kFast.c_str(), "engine"));
    EXPECT_EQ((std::vector<std::string>{"(Current settings)", "Default", "fast"}), ProfileEntries(dialog));
    EXPECT_EQ(2, ProfileSelection(dialog));
    EXPECT_TRUE(Enabled(dialog, kDelete));
    EXPECT_EQ(sim::kDefaultClock, Register()) << "saving never touches the card";
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(DialogProfiles, SavingAnExistingNameOverwritesItAndKeepsDeleteAsItWas) {
    StorePair(kFast.c_str(), 300, 300);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(Enabled(dialog, kDelete));
    MoveSlider(dialog, kSliderMemory, 410);
    SaveAs(dialog, "FAST");
    EXPECT_EQ("360/410", Pair(kFast.c_str()));
    EXPECT_EQ((std::vector<std::string>{"(Current settings)", "Default", "fast"}), ProfileEntries(dialog));
    EXPECT_EQ(2, ProfileSelection(dialog));
    EXPECT_FALSE(Enabled(dialog, kDelete));
}

TEST_F(DialogProfiles, FixedLabelsEmptyNamesAndBackslashesAreNotSaved) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    for (const char* name : {"default", "(CURRENT SETTINGS)", "", "a\\b"}) {
        SaveAs(dialog, name);
        EXPECT_EQ(Fixed(), ProfileEntries(dialog)) << name;
        EXPECT_EQ(nullptr, program_->Find("registry key create error")) << name;
    }
    EXPECT_TRUE(regtest::Subkeys(kCustomer).empty());
    EXPECT_EQ("", regtest::Read(kCustomer, "engine"));
}

TEST_F(DialogProfiles, ANameDialogCancelledSavesNothingAndALongPastedNameIsCutToFifty) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    Click(dialog, kSaveAs);
    HWND box = WaitBox("Profile");
    ASSERT_TRUE(box);
    EXPECT_EQ("OK", Text(GetDlgItem(box, IDOK)));
    EXPECT_EQ("Cancel", Text(GetDlgItem(box, IDCANCEL)));
    SendMessageA(GetDlgItem(box, kNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("kept"));
    PressButton(box, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Fixed(), ProfileEntries(dialog));
    EXPECT_TRUE(regtest::Subkeys(kCustomer).empty());

    // Pasting goes past what the box can show; only the first 50 characters count.
    std::string first50 = std::string(45, 'p') + "12345";
    SaveAs(dialog, first50 + "6789012345");
    EXPECT_EQ(std::vector<std::string>{first50}, regtest::Subkeys(kCustomer));
    EXPECT_EQ((std::vector<std::string>{"(Current settings)", "Default", first50}), ProfileEntries(dialog));
}

TEST_F(DialogProfiles, ChoosingEntriesMovesTheSlidersAndEnablesTestOnlyForAnotherPair) {
    StorePair((std::string(kCustomer) + "\\same").c_str(), 360, 360);
    StorePair(kFast.c_str(), 400, 380);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ASSERT_EQ((std::vector<std::string>{"(Current settings)", "Default", "fast", "same"}), ProfileEntries(dialog));

    SelectProfile(dialog, 3);  // "same": the committed pair
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, kDelete); }));
    EXPECT_FALSE(Enabled(dialog, kTest));

    SelectProfile(dialog, 2);  // "fast"
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 400; }));
    EXPECT_EQ(380, SliderPos(dialog, kSliderMemory));
    EXPECT_TRUE(Enabled(dialog, kTest));
    EXPECT_EQ(sim::kDefaultClock, Register()) << "choosing never touches the card";

    SelectProfile(dialog, 0);  // back to the committed pair; Test stays on
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 360; }));
    EXPECT_FALSE(Enabled(dialog, kDelete));
    EXPECT_TRUE(Enabled(dialog, kTest));

    StorePair(kDefault, 330, 340);  // the default key is read at the choice
    SelectProfile(dialog, 1);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 330; }));
    EXPECT_EQ(340, SliderPos(dialog, kSliderMemory));
}

// A stored pair outside the sliders' ranges (288-432 around 360), chosen and applied
// at once by keyboard, before any paint: the card gets the pair clamped.
TEST_F(DialogProfiles, AnOutOfRangeProfileChosenAndAppliedAtOnceReachesTheCardClamped) {
    StorePair(kFast.c_str(), 900, 100);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SelectProfile(dialog, 2);
    Click(dialog, kOk);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    EXPECT_EQ(ClockRegister(432, 288, 12), Register());
    PressButton(question, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ("432/288", Pair(kCurrent)) << "the stored pair is what the card runs";
    EXPECT_EQ(432, EngineOf(Register()));
    EXPECT_EQ(288, MemoryOf(Register()));
}

TEST_F(DialogProfiles, DeletingRemovesKeyAndEntryAndReturnsToTheCommittedPair) {
    StorePair(kFast.c_str(), 400, 380);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SelectProfile(dialog, 2);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 400; }));

    Click(dialog, kDelete);
    HWND ask = WaitBox("Confirmation");
    ASSERT_TRUE(ask);
    EXPECT_EQ("Are you sure you want to delete this profile ?", StaticText(ask));
    EXPECT_EQ(dialog, GetWindow(ask, GW_OWNER));
    PressButton(ask, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(ask); }));
    EXPECT_TRUE(regtest::KeyExists(kFast.c_str()));

    Click(dialog, kDelete);
    ask = WaitBox("Confirmation");
    ASSERT_TRUE(ask);
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !regtest::KeyExists(kFast.c_str()); }));
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 360; }));
    EXPECT_EQ(360, SliderPos(dialog, kSliderMemory));
    EXPECT_EQ(Fixed(), ProfileEntries(dialog));
    EXPECT_EQ(0, ProfileSelection(dialog));
    EXPECT_FALSE(Enabled(dialog, kDelete));
}

TEST_F(DialogProfiles, AProfileBeginningWithTheCurrentLabelIsTheOneSelected) {
    StorePair((std::string(kCustomer) + "\\(Current settings) old").c_str(), 300, 300);
    StorePair((std::string(kCustomer) + "\\zz").c_str(), 300, 300);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(4u, ProfileEntries(dialog).size());
    EXPECT_EQ(2, ProfileSelection(dialog));

    SelectProfile(dialog, 3);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, kDelete); }));
    Click(dialog, kDelete);
    HWND ask = WaitBox("Confirmation");
    ASSERT_TRUE(ask);
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ProfileEntries(dialog).size() == 3; }));
    EXPECT_EQ(2, ProfileSelection(dialog));
}

TEST_F(DialogProfiles, ANameOfEightyCharactersEndsTheListAndLongerNamesWorkWhole) {
    std::string name79 = "m" + std::string(78, 'x');  // made outside the program
    StorePair((std::string(kCustomer) + "\\alpha").c_str(), 300, 300);
    StorePair((std::string(kCustomer) + "\\" + name79).c_str(), 310, 320);
    StorePair((std::string(kCustomer) + "\\n" + std::string(79, 'x')).c_str(), 300, 300);
    StorePair((std::string(kCustomer) + "\\zulu").c_str(), 300, 300);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ((std::vector<std::string>{"(Current settings)", "Default", "alpha", name79}), ProfileEntries(dialog));

    SelectProfile(dialog, 3);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 310; }));
    EXPECT_EQ(320, SliderPos(dialog, kSliderMemory));
    Click(dialog, kDelete);
    HWND ask = WaitBox("Confirmation");
    ASSERT_TRUE(ask);
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !regtest::KeyExists((std::string(kCustomer) + "\\" + name79).c_str()); }));
}

TEST_F(DialogProfiles, AValueThatCannotBeReadKeepsTheSlider) {
    std::string half = std::string(kCustomer) + "\\half";
    regtest::WriteDword(half.c_str(), "engine", 310);
    regtest::WriteRaw(half.c_str(), "memory", REG_BINARY, std::string("\x90\x01", 2));
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    MoveSlider(dialog, kSliderMemory, 350);
    SelectProfile(dialog, 2);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 310; }));
    EXPECT_EQ(350, SliderPos(dialog, kSliderMemory));
}

}  // namespace
}  // namespace dlgtest
