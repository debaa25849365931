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
