// Resource ids shared by the .rc templates and the Win32 code.
#pragma once

// Labels that no code addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Cabrillo header dialog
#define IDD_CABRILLO 101
#define IDC_SOAPBOX 1001
#define IDC_ADDRESS 1002
#define IDC_ADDRESS_COUNTRY 1003
#define IDC_EMAIL 1004
#define IDC_CLUB 1005
#define IDC_OPERATORS 1006
#define IDC_NAME 1007
#define IDC_CLAIMED 1008
#define IDC_CONTEST 1009
#define IDC_CALLSIGN 1010
#define IDC_ADDRESS_POSTALCODE 1011
#define IDC_ADDRESS_STATE_PROVINCE 1012
#define IDC_CATEGORY_OPERATOR 1013
#define IDC_ADDRESS_CITY 1014
#define IDC_CATEGORY_TRANSMITTER 1015
#define IDC_CATEGORY_STATION 1016
#define IDC_CATEGORY_POWER 1017
#define IDC_CATEGORY_MODE 1018
#define IDC_CATEGORY_BAND 1019
#define IDC_CATEGORY_ASSISTED 1020
#define IDC_CATEGORY_OVERLAY 1021
#define IDC_ARRL_SECTION 1022

// Operator windows
#define IDD_SETUP 104
#define IDI_STATS 108
#define IDD_PREV_QSO 114
#define IDD_MULTIPLIER 116
#define IDC_INFO_BUTTON 1003      // the owner-drawn button filling each side window
#define IDC_SHOW_MULTIPLIER 1014  // setup window check boxes
#define IDC_SHOW_PREFIX 1015
#define IDC_WINDOW_ON_TOP 1016
#define IDC_TO_DISPLAY 1025
