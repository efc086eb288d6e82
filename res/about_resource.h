/* Identifiers of the About box's template, pictures and controls, for the resource script and
   the code alike. Plain #defines, since the resource compiler reads this file too. The version
   texts' controls run from 103 to 109 in the order the version resource's keys are read. */
#pragma once

#define IDD_ABOUT 1957
/* The photo and the maker's logo, 32 x 32 pixels in 16 colours. */
#define IDB_ABOUT_PHOTO "ZEDEZIR"
#define IDB_ABOUT_LOGO "ZQ_LOGO"

#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_PICTURE 102
#define IDC_ABOUT_COMPANY 103
#define IDC_ABOUT_TITLE 104
#define IDC_ABOUT_DESCRIPTION 105
#define IDC_ABOUT_VERSION 106
#define IDC_ABOUT_COPYRIGHT 107
#define IDC_ABOUT_COMMENTS 108
#define IDC_ABOUT_WEB 109
#define IDC_ABOUT_MAIL 110
#define IDC_ABOUT_SHADOW 111
#define IDC_ABOUT_OK 112
#define IDC_ABOUT_BACKGROUND 113
