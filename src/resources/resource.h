// Resource ids shared by the .rc templates and the Win32 code.
#pragma once

// Cabrillo header dialog
#define IDD_CABRILLO 101

// Operator windows
#define IDD_SETUP 104
#define IDI_STATS 108
#define IDD_PREV_QSO 114
#define IDD_MULTIPLIER 116
