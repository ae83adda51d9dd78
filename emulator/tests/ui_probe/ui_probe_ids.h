// Ids of UiProbe.dll's dialog.
#pragma once

#define IDD_PROBE_PORTRAIT 100
#define IDD_PROBE_LANDSCAPE 101
#define IDC_PROBE_CHECK 1001
#define IDC_PROBE_NAME 1002
#define IDC_PROBE_LIST 1003
#define IDC_PROBE_OFF 1004
#define IDC_PROBE_ROW 1010
