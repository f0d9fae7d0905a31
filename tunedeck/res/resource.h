// Resource identifiers of tunedeck.exe, shared by the resource script and the code.
#pragma once

// Program icon, frame menu and frame title share the main-frame id.
#define IDR_MAINFRAME           128
#define IDI_PROGRAM             128
#define IDS_FRAME_TITLE         128

// Tray popup menus; the tray icon's id equals the id of its menu.
#define IDR_TRAY_MENU_ENGLISH   130
#define IDR_TRAY_MENU_CHINESE   131

// Dialog templates
#define IDD_TARNWELL2_DIALOG    102
#define IDD_PROFILE_NAME        140
#define IDD_KEEP_CLOCK          151

// Main dialog controls (template 102)
#define IDC_SLIDER_ENGINE       1000
#define IDC_SLIDER_MEMORY       1001
#define IDC_BUTTON_SAVEAS       1002
#define IDC_STATIC_ENGINE       1003
#define IDC_STATIC_MEMORY       1006
#define IDC_COMBO_PROFILES      1008
#define IDC_BUTTON_DELETE       1009
#define IDC_BUTTON_OK           1011
#define IDC_BUTTON_CANCEL       1012
#define IDC_BUTTON_TEST         1013
#define IDC_STATIC_MODEL        1016
#define IDC_STATIC_BRAND        1017

// Keep-clock dialog (template 151) and profile-name dialog (template 140)
#define IDC_STATIC_KEEPCLOCK    1018
#define IDC_STATIC_KEEPCLOCK_COUNTDOWN 1020
#define IDC_EDIT_PROFILE_NAME   1010
#define IDC_STATIC_SAVEAS       1019

// Commands. The Option command opens the main dialog; the others are the
// framework's standard command ids, spelt as the framework spells them so that
// both definitions agree.
#define ID_OPTION               32771
#ifndef ID_APP_EXIT
#define ID_APP_EXIT             0xE141  // 57665
#endif
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT            57664
#endif
#ifndef ID_HELP
#define ID_HELP                 0xE146  // 57670
#endif
#ifndef ID_EDIT_UNDO
#define ID_EDIT_UNDO            57643
#endif
#ifndef ID_EDIT_CUT
#define ID_EDIT_CUT             57635
#endif
#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY            57634
#endif
#ifndef ID_EDIT_PASTE
#define ID_EDIT_PASTE           57637
#endif

// The framework's application-title string.
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE       0xE000  // 57344
#endif
// Child id of the frame's view.
#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST      0xE900
#endif

// Tray callback message to the frame.
#define WM_TRAY_CALLBACK        (WM_USER + 10)
