/* Identifiers of the program's resources and of the main dialog's controls, for the resource
   script and the code alike. Plain #defines, since the resource compiler reads this file too.
   In each group the field is the frame plus 1 and the browse button the field plus 1. */
#pragma once

#define IDD_MAIN 1
#define IDI_LETTERMILL 1957

#define IDC_GO 1
#define IDC_EXIT 101
#define IDC_INPUT_FRAME 102
#define IDC_INPUT_FIELD 103
#define IDC_INPUT_BROWSE 104
#define IDC_TABLE_FRAME 105
#define IDC_TABLE_FIELD 106
#define IDC_TABLE_BROWSE 107
#define IDC_OUTPUT_FRAME 108
#define IDC_OUTPUT_FIELD 109
#define IDC_OUTPUT_BROWSE 110
#define IDC_STAY_ON_TOP 112
