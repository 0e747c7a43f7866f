// Resource identifiers of the library.
#pragma once

// Strings
#define IDS_PRODUCT 1
#define IDS_INI_NAME 10
#define IDS_DEFAULT_SECTION 11
#define IDS_SECTION_TODAYTEMP 12
#define IDS_KEY_VERSION 20
#define IDS_KEY_FLAGS 21
#define IDS_KEY_TODAYCNF 22
#define IDS_KEY_EDITOR 23
#define IDS_KEY_PROGRAM 24
#define IDS_KEY_SCHEDULE 25
#define IDS_KEY_SCHEDULEFILE 26
#define IDS_KEY_HOLIDAYTBL 27
#define IDS_KEY_GENGOTBL 28
#define IDS_KEY_TABLEPATH 29
#define IDS_FILTER_CNF 50
#define IDS_TITLE_CNF 51
#define IDS_FILTER_EXE 52
#define IDS_TITLE_PROGRAM 53
#define IDS_TITLE_EDITOR 54
#define IDS_STYLE_NORMAL 61
#define IDS_STYLE_BOLD 62
#define IDS_STYLE_ITALIC 63
#define IDS_STYLE_UNDERLINE 64
#define IDS_TITLE_JAPANESE 200
#define IDS_TITLE_ENGLISH_BASE 200  // + month
#define IDS_WEEKDAY_JAPANESE 301    // + column
#define IDS_WEEKDAY_ENGLISH 308     // + column
#define IDS_TIP_FONT 400
#define IDS_SUBSTITUTE_HOLIDAY 401
#define IDS_DEFAULT_EDITOR 402
#define IDS_NO_MEMORY 1001
#define IDS_BAD_YEAR 1003
#define IDS_BAD_MONTH 1004
#define IDS_NO_HELP_FILE 1005
// A dialog control's help: the string whose identifier is the control's;
// OK and Cancel (1 and 2, taken by other strings) have these instead.
#define IDS_HELP_CONFIG_OK 1011
#define IDS_HELP_CONFIG_CANCEL 1012
#define IDS_HELP_CHIP_OK 1013
#define IDS_HELP_CHIP_CANCEL 1014

// Menu 1 and its commands
#define IDM_CHIP 1
#define IDM_TWO_MONTHS 10000
#define IDM_STACKED 10001
#define IDM_RELOAD_TABLES 10003
#define IDM_RELOAD_CNF 10004
#define IDM_HELP 10005
#define IDM_ABOUT 10006
#define IDM_EDIT_CNF 10007
#define IDM_EDIT_SCHEDULE_BASE 10007  // + schedule file 1-16

// About box and its icons
#define IDD_ABOUT 100
#define IDI_CALENDAR 10
#define IDI_PICTURE 11

// Dialog 102: chip settings
#define IDD_CHIPSETTINGS 102
#define IDC_CHIP_YEAR 1201
#define IDC_CHIP_MONTH 1202
#define IDC_CHIP_THISMONTH 1203
#define IDC_CHIP_GIVENMONTH 1204
#define IDC_CHIP_TWOMONTHS 1205
#define IDC_CHIP_STACKED 1206
#define IDC_CHIP_ENGLISH 1207
#define IDC_CHIP_TODAYCOLOR 1211
#define IDC_CHIP_SUNDAYCOLOR 1212
#define IDC_CHIP_SATURDAYCOLOR 1213
#define IDC_CHIP_HOLIDAYCOLOR 1214
#define IDC_CHIP_SCHEDULESTYLE 1216

// Configuration dialog and its controls
#define IDD_CONFIG 101
#define IDC_USE_TODAY 1101
#define IDC_POPUP_TIPS 1102
#define IDC_TODAYCNF 1103
#define IDC_BROWSE_TODAYCNF 1104
#define IDC_EDITOR 1105
#define IDC_BROWSE_EDITOR 1106
#define IDC_PROGRAM 1107
#define IDC_BROWSE_PROGRAM 1108

// Equinox table
#define IDR_EQUINOX 101

// Version of the library and of TarnivelDesk.exe
#define TARNIVEL_FILEVERSION 2, 0, 1320, 0
#define TARNIVEL_PRODUCTVERSION 2, 0, 0, 0
#define TARNIVEL_FILEVERSION_STR "2.0.1320"
#define TARNIVEL_PRODUCTVERSION_STR "2.0b"
