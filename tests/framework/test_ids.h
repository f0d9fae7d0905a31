// Resource identifiers of the framework tests.
#pragma once
#define IDD_FORM       100   // edit, number edit, owner-drawn button, trackbar, OK, Cancel
#define IDD_INNER      101   // OK, Cancel only
#define IDM_FRAME      110   // frame menu
#define IDS_APP_NAME   0xE000
#define IDS_FRAME      110

#define IDC_NAME       1010
#define IDC_NUMBER     1011
#define IDC_PICTURE    1012
#define IDC_SLIDER     1013
#define IDC_NOTE       1014
