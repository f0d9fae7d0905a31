// Registry data that other versions wrote or users edited, and keys that change under
// the running dialog: values of the wrong type or size, ten thousand profiles, keys
// removed or made unreadable while the dialog is open. The program goes on, loses no
// profile that was there, and shows the registry message only where it has one.
#include <algorithm>

#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

class DialogRegistry : public DialogScenario {
protected:
    static std::string ProfileKey(const std::string& name) { return std::string(kCustomer) + "\\" + name; }
    HWND RegistryBox(double seconds) { return program_->WaitFor("registry key create error", "#32770", seconds); }
};

TEST_F(DialogRegistry, WrongTypesAndSizesAreRewrittenFromTheCardOrKeepTheSlider) {
    regtest::WriteDword(kCurrent, "engine", 380);
    regtest::WriteRaw(kCurrent, "memory", REG_SZ, std::string("a long text value", 18));
    regtest::WriteRaw(kDefault, "engine", REG_BINARY, std::string("\x01\x02", 2));
    regtest::WriteDword(kDefault, "memory", 300);
    regtest::WriteDword(ProfileKey("odd").c_str(), "engine", 330);
    regtest::WriteRaw(ProfileKey("odd").c_str(), "memory", REG_MULTI_SZ, std::string("3\0\0", 3));
    HWND dialog = Start();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(nullptr, program_->Find("registry key create error"));
    // Both incomplete pairs were rewritten, as numbers, from the card (360/360).
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_EQ("360/360", Pair(kDefault));
    EXPECT_EQ(REG_DWORD, regtest::Type(kCurrent, "memory"));
    EXPECT_EQ(REG_DWORD, regtest::Type(kDefault, "engine"));
    EXPECT_EQ(288, SliderMin(dialog, kSliderEngine));

    SelectProfile(dialog, 2);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 330; }));
    EXPECT_EQ(360, SliderPos(dialog, kSliderMemory)) << "the unreadable value keeps the slider";
    EXPECT_EQ(sim::kDefaultClock, Register());
}

TEST_F(DialogRegistry, TenThousandProfilesAreListedAndKeptThroughSaveAndDelete) {
    HKEY customer;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCustomer, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &customer, nullptr));
    for (int i = 0; i < 10000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "p%05d", i);
        HKEY k;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(customer, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr));
        DWORD v = 300 + i % 100;
        RegSetValueExA(k, "engine", 0, REG_DWORD, (const BYTE*)&v, 4);
        RegSetValueExA(k, "memory", 0, REG_DWORD, (const BYTE*)&v, 4);
        RegCloseKey(k);
    }
    RegCloseKey(customer);

    const DWORD t0 = GetTickCount();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_LT(GetTickCount() - t0, 30000u);
    std::vector<std::string> entries = ProfileEntries(dialog);
    ASSERT_EQ(10002u, entries.size());
    EXPECT_EQ("p09999", entries.back());
    EXPECT_EQ(0, ProfileSelection(dialog));

    SelectProfile(dialog, 2 + 7777);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) == 377; }));
    Click(dialog, kSaveAs);
    HWND box = WaitBox("Profile");
    ASSERT_TRUE(box);
    AnswerName(box, "newest");
    ASSERT_TRUE(WaitUntil([&] { return ProfileEntries(dialog).size() == 10003u; }));
    EXPECT_EQ(10002, ProfileSelection(dialog));

    SelectProfile(dialog, 2 + 5000);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, kDelete); }));
    Click(dialog, kDelete);
    HWND ask = WaitBox("Confirmation");
    ASSERT_TRUE(ask);
    PressButton(ask, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ProfileEntries(dialog).size() == 10002u; }));
    std::vector<std::string> keys = regtest::Subkeys(kCustomer);
    EXPECT_EQ(10000u, keys.size());
    EXPECT_EQ(keys.end(), std::find(keys.begin(), keys.end(), "p05000"));
    EXPECT_NE(keys.end(), std::find(keys.begin(), keys.end(), "newest"));
    EXPECT_EQ("377/377", Pair(ProfileKey("newest").c_str()));
}

TEST_F(DialogRegistry, KeysRemovedWhileTheDialogRunsAreMadeAgainWhenWritten) {
    StorePair(ProfileKey("gone").c_str(), 320, 330);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    regtest::DeleteZykTree();

    // A listed profile that is gone: the sliders stay, no message.
    SelectProfile(dialog, 2);
    SelectProfile(dialog, 1);
    // A key for the slider queued behind both selections: once it moved the slider one
    // step from 360, both were handled, and neither moved it.
    PressKey(GetDlgItem(dialog, kSliderEngine), VK_LEFT);
    ASSERT_TRUE(WaitUntil([&] { return SliderPos(dialog, kSliderEngine) != 360; }));
    EXPECT_EQ(359, SliderPos(dialog, kSliderEngine));
    EXPECT_EQ(nullptr, program_->Find("registry key create error"));

    MoveSlider(dialog, kSliderEngine, 350);
    Click(dialog, kSaveAs);
    HWND box = WaitBox("Profile");
    ASSERT_TRUE(box);
    AnswerName(box, "after");
    ASSERT_TRUE(WaitUntil([&] { return Pair(ProfileKey("after").c_str()) == "350/360"; }));

    Click(dialog, kOk);
    HWND question = WaitBox("Confirmation");
    ASSERT_TRUE(question);
    PressButton(question, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ("350/360", Pair(kCurrent));
    EXPECT_TRUE(program_->Running());
}

// Denies everyone every access to a key (the key stays, with its values), or gives
// the access back (no access list at all).
bool SetAccess(const char* path, bool none) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);  // empty: nothing allowed
    SetSecurityDescriptorDacl(&sd, TRUE, none ? &acl : nullptr, FALSE);
    LONG r = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

struct AccessGivenBack {
    const std::string path;
    ~AccessGivenBack() { SetAccess(path.c_str(), false); }
};

TEST_F(DialogRegistry, AProfileKeyMadeUnreadableWhileTheDialogRunsIsReportedAndNothingIsLost) {
    StorePair(ProfileKey("locked").c_str(), 320, 330);
    StorePair(ProfileKey("other").c_str(), 340, 350);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    AccessGivenBack giveBack{ProfileKey("locked")};
    ASSERT_TRUE(SetAccess(ProfileKey("locked").c_str(), true));
    HKEY probe;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProfileKey("locked").c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this registry does not enforce key access rights";
    }
    SelectProfile(dialog, 2);
    HWND box = RegistryBox(10);
    ASSERT_TRUE(box) << "the profile cannot be opened: the registry message";
    EXPECT_EQ("Could not create the registry key.", StaticText(box));
    PressButton(box, IDOK);
    int code = 0;
    ASSERT_TRUE(program_->WaitExit(15, &code)) << "a quit request follows the message";
    EXPECT_EQ(-1, code);
    SetAccess(ProfileKey("locked").c_str(), false);
    EXPECT_EQ((std::vector<std::string>{"locked", "other"}), regtest::Subkeys(kCustomer));
    EXPECT_EQ("320/330", Pair(ProfileKey("locked").c_str()));
    EXPECT_EQ("340/350", Pair(ProfileKey("other").c_str()));
}

}  // namespace
}  // namespace dlgtest
