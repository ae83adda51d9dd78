/* Resource ids of TestPanel.cpl, shared by its .rc file and its code. */
#pragma once

#define IDI_TEST_PANEL 101

/* Pages, in tab order, and the first page's landscape template. */
#define IDD_PAGE_GENERAL 201
#define IDD_PAGE_LEVELS 202
#define IDD_PAGE_LIST 203
#define IDD_PAGE_OPTIONS 204
#define IDD_PAGE_GENERAL_WIDE 221
/* The modal dialog the first page opens. */
#define IDD_DETAILS 210

/* Page 0 "Общие". */
#define IDC_NAME_LABEL 1001
#define IDC_NAME 1002
#define IDC_ENABLED 1003
#define IDC_MODE_ONE 1004
#define IDC_MODE_TWO 1005
#define IDC_PLACE_LABEL 1006
#define IDC_PLACE 1007
#define IDC_DETAILS 1008
#define IDC_RESULT 1009
#define IDC_MODE_GROUP 1010
#define IDC_NOTE_LABEL 1011
#define IDC_NOTE 1012
#define IDC_CODE_LABEL 1013
#define IDC_CODE 1014
#define IDC_HINT 1015

/* Page 1 "Уровни". */
#define IDC_VOLUME_LABEL 2001
#define IDC_VOLUME 2002
#define IDC_VOLUME_VALUE 2003
#define IDC_DELAY_LABEL 2004
#define IDC_DELAY 2005
#define IDC_LOUD 2006
#define IDC_QUIET 2007
#define IDC_LEVEL_GROUP 2008
#define IDC_LEVEL_ONE 2009
#define IDC_LEVEL_TWO 2010
#define IDC_LEVEL_THREE 2011
#define IDC_RESET 2012
#define IDC_LEVEL_NOTE 2013
#define IDC_LIMIT_LABEL 2014
#define IDC_LIMIT 2015

/* Page 2 "Список". */
#define IDC_ROWS 3001
#define IDC_ADD 3002
#define IDC_REMOVE 3003
#define IDC_ROW_TEXT_LABEL 3004
#define IDC_ROW_TEXT 3005
#define IDC_SORTED 3006
#define IDC_ITEMS_LABEL 3007
#define IDC_ITEMS 3008
#define IDC_COUNT_LABEL 3009
#define IDC_COUNT 3010
#define IDC_FIRST 3011
#define IDC_LAST 3012
#define IDC_LIST_GROUP 3013
#define IDC_LIST_NOTE 3014
#define IDC_CLEAR 3015

/* Page 3 "Параметры". */
#define IDC_OPTION_FIRST 4001 /* 4001..4010: ten check boxes */
#define IDC_OPTION_LAST 4010
#define IDC_OPTIONS_GROUP 4011
#define IDC_ALL 4012
#define IDC_NONE 4013
#define IDC_CHOSEN_LABEL 4014
#define IDC_CHOSEN 4015

/* The modal dialog. */
#define IDC_DETAILS_TEXT 5001
#define IDC_DETAILS_LABEL 5002

/* TestDialog.exe's dialog, portrait and landscape; its controls are page 0's. */
#define IDD_TEST_DIALOG 301
#define IDD_TEST_DIALOG_WIDE 302
