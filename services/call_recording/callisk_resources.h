// Identifiers of the service's own string table, shared by the code and the resource script.
#pragma once

#define IDS_RECORDER_WINDOW_TITLE 1001
