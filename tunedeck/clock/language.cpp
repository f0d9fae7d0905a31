// Language choice and message strings.
#include "language.h"

#include <stdio.h>
#include <string.h>

#include "resource.h"
#include "trace.h"

char cExecutePath[MAX_PATH];
char str_ConfigINI[MAX_PATH];
int g_trayMenuId;

char str_CardName[100];
char str_NoCardMsg[100];
char str_Title[100];
char str_CurrentSettings[100];
char str_Default[100];
char str_OK[100];
char str_Cancel[100];
char str_Profile[100];
char str_SaveAs[100];
char str_Confirmation[100];
char str_DeleteProfileMsg[100];
char str_KeepClockMsg[200];
char str_RevertCountdown[100];
char str_CardNotReachedMsg[200];
char str_NewPairNotReachedMsg[200];
char str_AdminRightsMsg[200];
char str_DriverFolderMsg[300];

namespace {

// One column of the message table.
struct MessageSet {
    const char* cardName;
    const char* noCardMsg;
    const char* title;
    const char* currentSettings;
    const char* defaultEntry;
    const char* ok;
    const char* cancel;
    const char* profile;
    const char* saveAs;
    const char* confirmation;
    const char* deleteProfileMsg;
    const char* keepClockMsg;
    const char* revertCountdown;
    const char* cardNotReachedMsg;
    const char* newPairNotReachedMsg;
    const char* adminRightsMsg;
    const char* driverFolderMsg;
};

// Every system but the two below.
const MessageSet kDefaultSet = {
    "Zyk Graphic Card",
    "Please Install Zyk Graphic card.",
    "Zyk Velotune V1.0a",
    "(Current settings)",
    "Default",
    "OK",
    "Cancel",
    "Profile",
    "Save as",
    "Confirmation",
    "Are you sure you want to delete this profile?",
    "Your AGP clock has been changed.\nDo you want to keep these changed ?",
    "Restoring the previous clocks in %d s",
    "Zyk Velotune could not reach the graphics card.\nThe card may still run the new clocks.",
    "Zyk Velotune could not reach the graphics card.\nThe new clocks may not be on the card.",
    "Zyk Velotune needs administrator rights to reach the graphics card.",
    "Users who are not administrators may change the folder of Zyk Velotune.\n"
    "Please put the program into a folder that only administrators can change, "
    "for example through its installer.",
};

// English systems: the delete question has a blank before the question mark.
const MessageSet kEnglishSet = {
    kDefaultSet.cardName, kDefaultSet.noCardMsg, kDefaultSet.title,
    kDefaultSet.currentSettings, kDefaultSet.defaultEntry, kDefaultSet.ok,
    kDefaultSet.cancel, kDefaultSet.profile, kDefaultSet.saveAs,
    kDefaultSet.confirmation,
    "Are you sure you want to delete this profile ?",
    kDefaultSet.keepClockMsg,
    kDefaultSet.revertCountdown,
    kDefaultSet.cardNotReachedMsg,
    kDefaultSet.newPairNotReachedMsg,
    kDefaultSet.adminRightsMsg,
    kDefaultSet.driverFolderMsg,
};

// Traditional Chinese (Taiwan), Big5. Every byte is escaped: Big5 trail bytes are
// often ASCII letters, which would otherwise run into the hexadecimal escapes.
const MessageSet kChineseSet = {
    // "Zyk顯示卡"
    "Zyk\xC5\xE3\xA5\xDC\xA5\x64",
    // "請安裝Zyk顯示卡."
    "\xBD\xD0\xA6\x77\xB8\xCB" "Zyk\xC5\xE3\xA5\xDC\xA5\x64.",
    "Zyk Velotune V1.0a",
    // "現在設定值"
    "\xB2\x7B\xA6\x62\xB3\x5D\xA9\x77\xAD\xC8",
    // "預設值"
    "\xB9\x77\xB3\x5D\xAD\xC8",
    // "確定"
    "\xBD\x54\xA9\x77",
    // "取消"
    "\xA8\xFA\xAE\xF8",
    // "設定檔"
    "\xB3\x5D\xA9\x77\xC0\xC9",
    // "另存新檔"
    "\xA5\x74\xA6\x73\xB7\x73\xC0\xC9",
    // "確認"
    "\xBD\x54\xBB\x7B",
    // "你確定消除這個設定檔 ?"
    "\xA7\x41\xBD\x54\xA9\x77\xAE\xF8\xB0\xA3\xB3\x6F\xAD\xD3\xB3\x5D\xA9\x77\xC0\xC9 ?",
    // "你的電腦顯示卡時脈已經修改.\n你確定保留設定值 ?"
    "\xA7\x41\xAA\xBA\xB9\x71\xB8\xA3\xC5\xE3\xA5\xDC\xA5\x64\xAE\xC9\xAF\xDF\xA4\x77"
    "\xB8\x67\xAD\xD7\xA7\xEF.\n"
    "\xA7\x41\xBD\x54\xA9\x77\xAB\x4F\xAF\x64\xB3\x5D\xA9\x77\xAD\xC8 ?",
    // "%d 秒後還原原來的時脈"
    "%d \xAC\xED\xAB\xE1\xC1\xD9\xAD\xEC\xAD\xEC\xA8\xD3\xAA\xBA\xAE\xC9\xAF\xDF",
    // "Zyk Velotune 無法存取顯示卡.\n顯示卡可能仍在使用新的時脈."
    "Zyk Velotune \xB5\x4C\xAA\x6B\xA6\x73\xA8\xFA\xC5\xE3\xA5\xDC\xA5\x64.\n"
    "\xC5\xE3\xA5\xDC\xA5\x64\xA5\x69\xAF\xE0\xA4\xB4\xA6\x62\xA8\xCF\xA5\xCE\xB7\x73"
    "\xAA\xBA\xAE\xC9\xAF\xDF.",
    // "Zyk Velotune 無法存取顯示卡.\n新的時脈可能沒有設定到顯示卡上."
    "Zyk Velotune \xB5\x4C\xAA\x6B\xA6\x73\xA8\xFA\xC5\xE3\xA5\xDC\xA5\x64.\n"
    "\xB7\x73\xAA\xBA\xAE\xC9\xAF\xDF\xA5\x69\xAF\xE0\xA8\x53\xA6\xB3\xB3\x5D\xA9\x77"
    "\xA8\xEC\xC5\xE3\xA5\xDC\xA5\x64\xA4\x57.",
    // "Zyk Velotune 需要系統管理員權限才能存取顯示卡."
    "Zyk Velotune \xBB\xDD\xAD\x6E\xA8\x74\xB2\xCE\xBA\xDE\xB2\x7A\xAD\xFB\xC5\x76\xAD\xAD"
    "\xA4\x7E\xAF\xE0\xA6\x73\xA8\xFA\xC5\xE3\xA5\xDC\xA5\x64.",
    // "Zyk Velotune 所在的資料夾可被非系統管理員修改.\n"
    // "請將程式放到只有系統管理員可以修改的資料夾, 例如使用安裝程式安裝."
    "Zyk Velotune \xA9\xD2\xA6\x62\xAA\xBA\xB8\xEA\xAE\xC6\xA7\xA8\xA5\x69\xB3\x51\xAB\x44"
    "\xA8\x74\xB2\xCE\xBA\xDE\xB2\x7A\xAD\xFB\xAD\xD7\xA7\xEF.\n"
    "\xBD\xD0\xB1\x4E\xB5\x7B\xA6\xA1\xA9\xF1\xA8\xEC\xA5\x75\xA6\xB3\xA8\x74\xB2\xCE"
    "\xBA\xDE\xB2\x7A\xAD\xFB\xA5\x69\xA5\x48\xAD\xD7\xA7\xEF\xAA\xBA\xB8\xEA\xAE\xC6"
    "\xA7\xA8, \xA8\xD2\xA6\x70\xA8\xCF\xA5\xCE\xA6\x77\xB8\xCB\xB5\x7B\xA6\xA1\xA6\x77"
    "\xB8\xCB.",
};

const LANGID kChineseTaiwan = 0x0404;
const WORD kPrimaryEnglish = 0x09;

template <size_t N>
void Copy(char (&to)[N], const char* from)
{
    lstrcpynA(to, from, N);
}

void CopySet(const MessageSet& set)
{
    Copy(str_CardName, set.cardName);
    Copy(str_NoCardMsg, set.noCardMsg);
    Copy(str_Title, set.title);
    Copy(str_CurrentSettings, set.currentSettings);
    Copy(str_Default, set.defaultEntry);
    Copy(str_OK, set.ok);
    Copy(str_Cancel, set.cancel);
    Copy(str_Profile, set.profile);
    Copy(str_SaveAs, set.saveAs);
    Copy(str_Confirmation, set.confirmation);
    Copy(str_DeleteProfileMsg, set.deleteProfileMsg);
    Copy(str_KeepClockMsg, set.keepClockMsg);
    Copy(str_RevertCountdown, set.revertCountdown);
    Copy(str_CardNotReachedMsg, set.cardNotReachedMsg);
    Copy(str_NewPairNotReachedMsg, set.newPairNotReachedMsg);
    Copy(str_AdminRightsMsg, set.adminRightsMsg);
    Copy(str_DriverFolderMsg, set.driverFolderMsg);
}

// Bounded: a directory near MAX_PATH gives a cut (unusable) path, never an overrun.
void FormatConfigPath(const char* fileName)
{
    snprintf(str_ConfigINI, sizeof str_ConfigINI, "%s\\%s", cExecutePath, fileName);
    TraceMessage("str_ConfigINI=<%s>", str_ConfigINI);
}

} // namespace

void SetGlobalStringWith(LanguageReader readSystemLanguage)
{
    TraceMessage("SetGlobalString()");

    // Before Vista a path that fills the buffer is not terminated.
    GetModuleFileNameA(nullptr, cExecutePath, sizeof cExecutePath);
    cExecutePath[sizeof cExecutePath - 1] = '\0';
    TraceMessage("cExecutePath=<%s>", cExecutePath);

    char* lastBackslash = strrchr(cExecutePath, '\\');
    if (lastBackslash)
        *lastBackslash = '\0';
    else
        lstrcpyA(cExecutePath, "."); // no directory reported: look in the current one
    TraceMessage("cExecutePath=<%s>", cExecutePath);

    LANGID id = readSystemLanguage();
    TraceMessage("GetSystemDefaultLangID()=0x%x %d", id, id);
    WORD primary = PRIMARYLANGID(id);
    WORD sub = SUBLANGID(id);
    TraceMessage("LangID=0x%x 0x%x 0x%x", id, primary, sub);

    FormatConfigPath("Config_USA.INI");
    CopySet(kDefaultSet);
    g_trayMenuId = IDR_TRAY_MENU_ENGLISH;

    if (primary == kPrimaryEnglish) {
        FormatConfigPath("Config_USA.INI");
        CopySet(kEnglishSet);
        g_trayMenuId = IDR_TRAY_MENU_ENGLISH;
    } else if (id == kChineseTaiwan) {
        FormatConfigPath("Config_CHT.INI");
        CopySet(kChineseSet);
        g_trayMenuId = IDR_TRAY_MENU_CHINESE;
    }
}

void SetGlobalString()
{
    SetGlobalStringWith(GetSystemDefaultLangID);
}
