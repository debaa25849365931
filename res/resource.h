// Resource ids, shared by the program and res/mirval.rc.
#pragma once

// Strings
#define IDS_ABOUTBOX            101
#define IDS_MEMORY              103
#define IDS_FREE_SPACE          104
#define IDS_UNAVAILABLE         105
#define IDS_TITLE               106
#define IDS_REPLACE_PICTURE     107
#define IDS_WARNING             108
#define IDS_CONFIRM_DELETE      109
#define IDS_CONFIRM             110
#define IDS_EVERY_DAY_UNSET     111
#define IDS_SUNDAY              112   // 112 + day of the week, from Sunday
#define IDS_JANUARY             119   // 119 + month, from January
#define IDS_FAILED_TO_LAUNCH_HELP 61703
#define IDS_SAVE_FAILED         131

// Dialogs
#define IDD_ABOUTBOX            100
#define IDD_MIRVAL_DIALOG       102

// Icons and bitmaps
#define IDR_MAINFRAME           128   // the program's icon, also the tray icon
#define IDI_PICTURE             129
#define IDI_WEEK                130
#define IDI_MONTH               131
#define IDI_NO_NODE             135
#define IDI_CDROM               137
#define IDB_MONITOR             138
#define IDB_EMPTY_SCREEN        139
#define IDI_HARD_DISK           140
#define IDI_FLOPPY              141
#define IDI_FOLDER              146

// Controls of the setup dialog
#define IDC_CALENDAR_TREE       1000
#define IDC_PICTURE_LIST        1001
#define IDC_EVERY_DAY           1003
#define IDC_FOLDER_TREE         1004
#define IDC_OK                  1006
#define IDC_CANCEL              1007
#define IDC_SCREEN_FRAME        1016
#define IDC_MONITOR_FRAME       1018
#define IDC_PICTURE_NAME        1025
#define IDC_APERCU              1031
#define IDC_MOSAIQUE            1032
#define IDC_CENTRE              1033

// Controls of the about box
#define IDC_MEMORY              1008
#define IDC_FREE_SPACE          1009
#define IDC_SYSTEM              1010
#define IDC_VERSION             1011
