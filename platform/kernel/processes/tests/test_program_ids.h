// Identifiers of the test program's string table, shared by its resource script and its code.
#pragma once

#define IDS_PROGRAM_TITLE 7
