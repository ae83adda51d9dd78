// Ids of the test dialogs' templates and controls.
#pragma once

#define IDD_PLAIN 101     // DIALOG, 8-point font
#define IDD_EXTENDED 102  // DIALOGEX, 9-point font, help ids
#define IDD_PORTRAIT 103  // the same controls as IDD_LANDSCAPE, placed for portrait
#define IDD_LANDSCAPE 104
#define IDD_NO_SUCH_CLASS 105  // a control of an unregistered class
#define IDD_CHILD 106          // DS_CONTROL | WS_CHILD
#define IDD_TWENTY 107         // twenty controls
#define IDB_TEST 201
#define IDI_TEST 202
#define IDI_QUARTERS 203  // 16 x 16, 16 colours: red, green / blue, and a clear quarter
#define IDI_ALPHA 204     // 8 x 8, 32 bits: opaque red, half-transparent red, clear

#define IDC_FIRST 1001
#define IDC_SECOND 1002
#define IDC_THIRD 1003
#define IDC_ROW 1010
