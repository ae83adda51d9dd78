// Identifiers of the greeting manager's string table.
#pragma once

#define IDS_SAVE_SETTINGS_FAILED 131
#define IDS_LOAD_ELEMENT_FAILED 132
#define IDS_LOAD_CHILD_FAILED 133
#define IDS_LIST_FILE_PATH 134
#define IDS_XML_SYNTAX_ERROR 142
