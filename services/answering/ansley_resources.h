// Identifiers of the service's own string table, shared by the code and the resource script.
#pragma once

#define IDS_RECORDER_WINDOW_TITLE 1001
#define IDS_LOW_SPACE_CAPTION 1002
#define IDS_LOW_SPACE_TEXT 1004
