// The language rules: which texts, skin file and tray menu each system language gets,
// the Big5 bytes of the Chinese texts, and the trace of the choice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug_output.h"
#include "language.h"

namespace {

LANGID g_language;
LANGID WINAPI PlayedLanguage() { return g_language; }

void ChooseFor(LANGID id)
{
    g_language = id;
    SetGlobalStringWith(PlayedLanguage);
}

std::string ProgramDirectory()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.rfind('\\'));
}

// A UTF-8 text in the Big5 code page, converted by the system's own tables.
std::string Big5(const char* utf8)
{
    wchar_t wide[256];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    char out[512];
    BOOL lossy = FALSE;
    int m = WideCharToMultiByte(950, 0, wide, n, out, sizeof out, nullptr, &lossy);
    EXPECT_GT(m, 0);
    EXPECT_FALSE(lossy) << utf8;
    return std::string(out);
}

struct Texts {
    std::string cardName, noCard, title, current, defaultEntry, ok, cancel, profile, saveAs,
        confirmation, deleteMsg, keepMsg, countdown, notReached, newNotReached, adminRights,
        driverFolder;
};

Texts Current()
{
    return {str_CardName, str_NoCardMsg, str_Title, str_CurrentSettings, str_Default, str_OK,
            str_Cancel, str_Profile, str_SaveAs, str_Confirmation, str_DeleteProfileMsg,
            str_KeepClockMsg, str_RevertCountdown, str_CardNotReachedMsg, str_NewPairNotReachedMsg,
            str_AdminRightsMsg, str_DriverFolderMsg};
}

const char* kDefaultDelete = "Are you sure you want to delete this profile?";
const char* kEnglishDelete = "Are you sure you want to delete this profile ?";

void ExpectEnglishTexts(const char* deleteMsg)
{
    Texts t = Current();
    EXPECT_EQ("Zyk Graphic Card", t.cardName);
    EXPECT_EQ("Please Install Zyk Graphic card.", t.noCard);
    EXPECT_EQ("Zyk Velotune V1.0a", t.title);
    EXPECT_EQ("(Current settings)", t.current);
    EXPECT_EQ("Default", t.defaultEntry);
    EXPECT_EQ("OK", t.ok);
    EXPECT_EQ("Cancel", t.cancel);
    EXPECT_EQ("Profile", t.profile);
    EXPECT_EQ("Save as", t.saveAs);
    EXPECT_EQ("Confirmation", t.confirmation);
    EXPECT_EQ(deleteMsg, t.deleteMsg);
    EXPECT_EQ("Your AGP clock has been changed.\nDo you want to keep these changed ?", t.keepMsg);
    EXPECT_EQ(68u, t.keepMsg.size());
    EXPECT_EQ("Restoring the previous clocks in %d s", t.countdown);
    EXPECT_EQ("Zyk Velotune could not reach the graphics card.\n"
              "The card may still run the new clocks.", t.notReached);
    EXPECT_EQ("Zyk Velotune could not reach the graphics card.\n"
              "The new clocks may not be on the card.", t.newNotReached);
    EXPECT_EQ("Zyk Velotune needs administrator rights to reach the graphics card.", t.adminRights);
    EXPECT_EQ("Users who are not administrators may change the folder of Zyk Velotune.\n"
              "Please put the program into a folder that only administrators can change, "
              "for example through its installer.", t.driverFolder);
    EXPECT_EQ(ProgramDirectory() + "\\Config_USA.INI", str_ConfigINI);
    EXPECT_EQ(130, g_trayMenuId);
}

TEST(Language, EnglishSystemsOfAnySublanguage)
{
    for (LANGID id : {0x0409, 0x0809, 0x0c09, 0x1009}) {
        SCOPED_TRACE(id);
        ChooseFor(id);
        ExpectEnglishTexts(kEnglishDelete);
    }
}

TEST(Language, OtherSystemsGetTheDefaultSet)
{
    // German, Chinese of the People's Republic, Hong Kong, Singapore and Macau.
    for (LANGID id : {0x0407, 0x0804, 0x0c04, 0x1004, 0x1404}) {
        SCOPED_TRACE(id);
        ChooseFor(id);
        ExpectEnglishTexts(kDefaultDelete);
    }
}

TEST(Language, TaiwanGetsBig5ChineseAndItsOwnSkinAndMenu)
{
    ChooseFor(0x0404);
    Texts t = Current();
    EXPECT_EQ(Big5(u8"Zyk顯示卡"), t.cardName);
    EXPECT_EQ(Big5(u8"請安裝Zyk顯示卡."), t.noCard);
    EXPECT_EQ("Zyk Velotune V1.0a", t.title);
    EXPECT_EQ(Big5(u8"現在設定值"), t.current);
    EXPECT_EQ(Big5(u8"預設值"), t.defaultEntry);
    EXPECT_EQ(Big5(u8"確定"), t.ok);
    EXPECT_EQ(Big5(u8"取消"), t.cancel);
    EXPECT_EQ(Big5(u8"設定檔"), t.profile);
    EXPECT_EQ(Big5(u8"另存新檔"), t.saveAs);
    EXPECT_EQ(Big5(u8"確認"), t.confirmation);
    EXPECT_EQ(Big5(u8"你確定消除這個設定檔 ?"), t.deleteMsg);
    EXPECT_EQ(Big5(u8"你的電腦顯示卡時脈已經修改.\n你確定保留設定值 ?"), t.keepMsg);
    EXPECT_EQ(46u, t.keepMsg.size());
    EXPECT_EQ(Big5(u8"%d 秒後還原原來的時脈"), t.countdown);
    EXPECT_EQ(Big5(u8"Zyk Velotune 無法存取顯示卡.\n顯示卡可能仍在使用新的時脈."), t.notReached);
    EXPECT_EQ(Big5(u8"Zyk Velotune 無法存取顯示卡.\n新的時脈可能沒有設定到顯示卡上."), t.newNotReached);
    EXPECT_EQ(Big5(u8"Zyk Velotune 需要系統管理員權限才能存取顯示卡."), t.adminRights);
    EXPECT_EQ(Big5(u8"Zyk Velotune 所在的資料夾可被非系統管理員修改.\n"
                   u8"請將程式放到只有系統管理員可以修改的資料夾, 例如使用安裝程式安裝."),
              t.driverFolder);
    EXPECT_EQ(ProgramDirectory() + "\\Config_CHT.INI", str_ConfigINI);
    EXPECT_EQ(131, g_trayMenuId);

    // A later choice replaces every text (the Chinese ones are shorter or longer).
    ChooseFor(0x0409);
    ExpectEnglishTexts(kEnglishDelete);
}

TEST(Language, SkinFileIsBesideTheProgramWhateverTheCurrentDirectory)
{
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    ChooseFor(0x0409);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(ProgramDirectory(), cExecutePath);
    EXPECT_EQ(ProgramDirectory() + "\\Config_USA.INI", str_ConfigINI);
}

TEST(Language, TracesTheChoiceInOrder)
{
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string dir = ProgramDirectory();

    DebugOutputCapture capture;
    ChooseFor(0x0409);
    std::vector<std::string> expected = {
        "SetGlobalString()",
        std::string("cExecutePath=<") + module + ">",
        "cExecutePath=<" + dir + ">",
        "GetSystemDefaultLangID()=0x409 1033",
        "LangID=0x409 0x9 0x1",
        "str_ConfigINI=<" + dir + "\\Config_USA.INI>",
        "str_ConfigINI=<" + dir + "\\Config_USA.INI>",
    };
    EXPECT_EQ(expected, capture.Texts());

    capture.Clear();
    ChooseFor(0x0404);
    std::vector<std::string> texts = capture.Texts();
    ASSERT_EQ(7u, texts.size());
    EXPECT_EQ("GetSystemDefaultLangID()=0x404 1028", texts[3]);
    EXPECT_EQ("LangID=0x404 0x4 0x1", texts[4]);
    EXPECT_EQ("str_ConfigINI=<" + dir + "\\Config_USA.INI>", texts[5]);
    EXPECT_EQ("str_ConfigINI=<" + dir + "\\Config_CHT.INI>", texts[6]);

    capture.Clear();
    ChooseFor(0x0407);
    EXPECT_EQ(6u, capture.Texts().size()); // the path once only
}

TEST(Language, TheProgramAsksTheSystemDefaultLanguage)
{
    DebugOutputCapture capture;
    SetGlobalString();
    std::vector<std::string> texts = capture.Texts();
    ASSERT_GE(texts.size(), 4u);
    char expected[64];
    snprintf(expected, sizeof expected, "GetSystemDefaultLangID()=0x%x %d", GetSystemDefaultLangID(),
             GetSystemDefaultLangID());
    EXPECT_EQ(expected, texts[3]);
}

} // namespace
