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
#define IDR_MAIN_MENU 110

// Main window (ctlStop, ctlProgress, the about button 1046's picture, the context menu's entry).
#define IDC_STOP 2001
#define IDC_PROGRESS 2002
#define IDM_ABOUT 2003
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
