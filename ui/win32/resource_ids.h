// Resource and control ids of the Win32 dialogs, shared by the .rc templates and the C++ views.
// The controls of the description keep their own numbers (the main window's 1000-1060, the
// maintenance window's); the controls it leaves unnumbered get numbers from 2000 up, named as
// the Qt views name them ("ctlStop" is kIdStop).
#pragma once

#define IDI_KESTROVA 1

#define IDD_MAIN_WINDOW 100
#define IDD_ABOUT 101
#define IDD_INPUT 102
#define IDD_MAINTENANCE 103
#define IDD_CODE_LOOKUP 104
#define IDD_SCHEDULE 106
#define IDR_MAIN_MENU 110

// Main window (ctlStop, ctlProgress, the about button 1046's picture, the context menu's entries).
#define IDC_STOP 2001
#define IDC_PROGRESS 2002
#define IDM_ABOUT 2003
#define IDM_SCHEDULE 2004
// The statics of the main window and the maintenance window that carry no number of their own.
#define IDC_STATIC_TEXT -1

// About dialog (ctlPicture, ctlVersion, ctlClose, the second line).
#define IDC_PICTURE 2010
#define IDC_VERSION 2011
#define IDC_CLOSE 2012
#define IDC_ABOUT_LINE 2013

// Input dialog (ctlPrompt, ctlValue, ctlOk).
#define IDC_PROMPT 2020
#define IDC_VALUE 2021
#define IDC_OK 2022

// Code lookup (prefecture, municipality, names, codes, results, search).
#define IDC_PREFECTURE 2030
#define IDC_MUNICIPALITY 2031
#define IDC_NAMES 2032
#define IDC_CODES 2033
#define IDC_RESULTS 2034
#define IDC_SEARCH 2035

// Local search (the nine keys column by column, ctlType0-2, ctlPlan0-2, ctlStation,
// ctlKeyList1-3, ctlDateFrom, ctlDateTo, ctlPastData, ctlHideDuplicates, ctlDoubleClick,
// ctlResults); 検索 is IDOK (1), the window's default button, and the other buttons carry the
// numbers of SearchCommand. The row menu's entries are IDM_SEARCH_ACTION + the action.
#define IDD_SEARCH 105
#define IDC_SEARCH_KEY1 2040
#define IDC_SEARCH_TYPE0 2050
#define IDC_SEARCH_PLAN0 2053
#define IDC_SEARCH_STATION 2056
#define IDC_SEARCH_KEYLIST1 2057
#define IDC_SEARCH_DATE_FROM 2060
#define IDC_SEARCH_DATE_TO 2061
#define IDC_SEARCH_PAST_DATA 2062
#define IDC_SEARCH_HIDE_DUPLICATES 2063
#define IDC_SEARCH_DOUBLE_CLICK 2064
#define IDC_SEARCH_RESULTS 2065
#define IDC_SEARCH_CLEAR 1001
#define IDC_SEARCH_PRESET1 1010
#define IDC_SEARCH_EDIT_LIST1 1020
#define IDC_SEARCH_RELOAD_LIST1 1023
#define IDM_SEARCH_ACTION 2070

// The daily run (scheduleOn, scheduleTime, scheduleDeals, scheduleNext, scheduleLast); OK and
// キャンセル are IDOK and IDCANCEL.
#define IDC_SCHEDULE_ON 2100
#define IDC_SCHEDULE_TIME 2101
#define IDC_SCHEDULE_DEALS 2102
#define IDC_SCHEDULE_NEXT 2103
#define IDC_SCHEDULE_LAST 2104
