#pragma once
// Identifiers shared by proclens.rc and the window code (plain macros: the
// resource compiler reads this file too).

#define IDI_PROCLENS 1
#define IDI_SYSTEM_PROCESS 101
#define IDI_MISSING_FILE 102
#define IDB_VIEW_LARGE 201
#define IDB_VIEW_SMALL 202
#define IDB_VIEW_REPORT 203

#define IDC_LIST_VIEW 1001
#define IDC_WEB_BROWSER 1002
#define IDC_STATUS_BAR 1003
#define IDC_TOP_LABEL 1004
#define IDC_IMAGE1 1005
#define IDC_LARGE_SPEED_BUTTON 1006
#define IDC_SMALL_SPEED_BUTTON 1007
#define IDC_REPORT_SPEED_BUTTON 1008
#define IDC_SPLITTER2 1009
#define IDM_SHOW_IN_EXPLORER 2001
#define IDM_REFRESH 2002
