// The program's language: chosen once at start from the system default language,
// then only read. Texts are ANSI bytes; the Chinese ones are Big5 (code page 950).
#pragma once
#include <windows.h>

extern char cExecutePath[MAX_PATH];   // directory of tunedeck.exe, no trailing backslash
extern char str_ConfigINI[MAX_PATH];  // skin file beside the executable
extern int g_trayMenuId;              // tray menu resource (130 English, 131 Chinese)

extern char str_CardName[100];
extern char str_NoCardMsg[100];
extern char str_Title[100];
extern char str_CurrentSettings[100];
extern char str_Default[100];
extern char str_OK[100];
extern char str_Cancel[100];
extern char str_Profile[100];
extern char str_SaveAs[100];
extern char str_Confirmation[100];
extern char str_DeleteProfileMsg[100];
extern char str_KeepClockMsg[200];
// Under the keep-clock question: the seconds left before it answers No by itself, a
// printf format with one %d.
extern char str_RevertCountdown[100];
// When a bracket that should have put clocks on the card did not reach it: the
// committed pair after No or at the opening (the card may still run the new pair), and
// a new pair after OK or Test (the card may still run the old one).
extern char str_CardNotReachedMsg[200];
extern char str_NewPairNotReachedMsg[200];
// At start, when port access was refused: for want of administrator rights, and for a
// driver file in a folder that others than administrators may change.
extern char str_AdminRightsMsg[200];
extern char str_DriverFolderMsg[300];

// Fills every global above from the system default language. Called once, by the
// main frame's constructor, before any window or message exists.
void SetGlobalString();

// The same with the language read through another routine: tests use it to play a
// system of each language.
typedef LANGID (WINAPI *LanguageReader)(void);
void SetGlobalStringWith(LanguageReader readSystemLanguage);
