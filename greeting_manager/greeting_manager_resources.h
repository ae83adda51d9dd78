// Identifiers of the greeting manager's resources.
#pragma once

// Dialog templates: the main dialog upright and turned, and the page that carries the rows.
#define IDD_QUELLBROOKS_PORTRAIT 102
#define IDD_QUELLBROOKS_LANDSCAPE 103
#define IDD_GREETING_PAGE 104

#define IDI_QUELLBROOKS 128

// Controls of the main dialog.
#define IDC_HEADING_NAME 2001
#define IDC_HEADING_GREETING 2002
#define IDC_HEADING_ANSWER_TIME 2003
#define IDC_ROW_FRAME 2004
#define IDC_ADD 2005
#define IDC_DELETE 2029

// Controls of every row (the name fields take ids of their own, counted from 130).
#define IDC_ROW_CHECK 131
#define IDC_ROW_GREETING 133
#define IDC_ROW_ANSWER_TIME 134

// Strings. The row check box's caption is string 131, the number of its control id.
#define IDS_SAVE_SETTINGS_FAILED 131
#define IDS_LOAD_ELEMENT_FAILED 132
#define IDS_LOAD_CHILD_FAILED 133
#define IDS_LIST_FILE_PATH 134
#define IDS_ENTRY_EXISTS 136
#define IDS_DEFAULT_GREETING 137
#define IDS_ANSWER_10 138
#define IDS_ANSWER_15 139
#define IDS_ANSWER_20 140
#define IDS_SECONDS_SUFFIX 141
#define IDS_XML_SYNTAX_ERROR 142
#define IDS_DELETE_QUESTION 143
#define IDS_LIST_FULL 144
#define IDS_NUMBER_TOO_LONG 145
