// Resource and control ids, shared by the resource script and the C++ code.
// Plain #defines only: windres reads this file too.
#ifndef KORVANE_RES_RESOURCE_H
#define KORVANE_RES_RESOURCE_H

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_RESULT 103
#define IDD_DETAILS 104

// Strings
#define IDS_ABOUT_ITEM 101

// Icons
#define IDI_PROGRAM 128
#define IDI_WINDOW 143

// Bitmaps (the two banner frames are named resources "Banner0" and "Banner1")
#define IDB_RESULT_TITLE 132
#define IDB_TITLE 133
#define IDB_RESULT_SIDE 140

// System-menu command of the main window's About item
#define IDM_ABOUT 16

// Main window (template 102)
#define IDC_MAIN_OPENGL 1000
#define IDC_MAIN_DIRECT3D 1001
#define IDC_MAIN_FLYBY1 1002
#define IDC_MAIN_FLYBY2 1003
#define IDC_MAIN_BOTMATCH1 1004
#define IDC_MAIN_FLYBY3 1005
#define IDC_MAIN_BOTMATCH2 1006
#define IDC_MAIN_BOTMATCH3 1007
#define IDC_MAIN_BENCHMARK 1010
#define IDC_MAIN_RES_640 1011
#define IDC_MAIN_DETAIL_HIGH 1012
#define IDC_MAIN_DETAIL_LOW 1013
#define IDC_MAIN_RES_800 1015
#define IDC_MAIN_RES_1024 1016
#define IDC_MAIN_RES_1280 1017
#define IDC_MAIN_RES_1600 1018
#define IDC_MAIN_PROCESSOR 1019
#define IDC_MAIN_FREQUENCY 1020
#define IDC_MAIN_CACHE 1021
#define IDC_MAIN_RAM 1022
#define IDC_MAIN_VIDEO_CARD 1023
#define IDC_MAIN_OS_NAME 1024
#define IDC_MAIN_CREDITS 1025

// Result window (template 103)
#define IDC_RESULT_DETAILS 3
#define IDC_RESULT_SCORE 1014
#define IDC_RESULT_UNIT 1015
#define IDC_RESULT_BANNER 1017
#define IDC_RESULT_FLYBY 1018
#define IDC_RESULT_BOTMATCH 1026

// Details window (template 104)
#define IDC_DETAILS_LIST 1027

// About window (template 100)
#define IDC_ABOUT_BANNER 1029

#endif
