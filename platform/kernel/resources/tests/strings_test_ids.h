// Identifiers of the string tables of the test module, shared by its resource script and the
// tests. Strings go in blocks of 16 (ids 0-15, 16-31, ...); the comments say which languages
// have a block.
#pragma once

// Block 1: Russian and English.
#define IDS_GREETING 1
#define IDS_IN_BOTH_LANGUAGES 2
#define IDS_LONG 3
#define IDS_BEYOND_BMP 4
#define IDS_ONLY_IN_ENGLISH_BLOCK 5

// Block 2: Russian only.
#define IDS_SECOND_BLOCK 17
#define IDS_LAST_OF_BLOCK 31

// Block 3: neutral and English.
#define IDS_NEUTRAL_OVER_ENGLISH 40

// Block 4: English only.
#define IDS_ENGLISH_ONLY 50

// Block 5: Russian without a sublanguage, and neutral.
#define IDS_RUSSIAN_NEUTRAL 70

// The last block.
#define IDS_HIGHEST 65535
