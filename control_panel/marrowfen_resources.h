// Resource identifiers of Marrowfen.dll: its icon, the dialog templates of the settings pages and
// of the sound recorders, their controls, and the string table.
#pragma once

// The applet's icon (applet 0).
#define IDI_MARROWFEN 101

// Dialog templates.
#define IDD_OVERDUB_PAGE 103
#define IDD_ANSWERING_PAGE 104
#define IDD_GREETING_RECORDER 106
#define IDD_RECORDING_PAGE 1049
#define IDD_SOUND_RECORDER 1104
#define IDD_PHONE_PAGE 8005
#define IDD_PHONE_PAGE_LANDSCAPE 8006

// Answering-machine page (template 104).
#define IDC_ANSWERING_ENABLE 1001
#define IDC_ANSWERING_STORAGE_LABEL 1002
#define IDC_RECORD_TIME_LABEL 1008
#define IDC_ACTIVE_TIME_LABEL 1009
#define IDC_GREETING_LIST 1040
#define IDC_GREETING_LABEL 1041
#define IDC_QUELLBROOK_ENABLE 1105
#define IDC_QUELLBROOK_SETUP 1106
#define IDC_VOICEMAIL 1117
#define IDC_RECORD_TIME_LIST 6000
#define IDC_ACTIVE_TIME_LIST 6050

// The storage list "Сохранять в:" of the answering-machine and call-recording pages.
#define IDC_STORAGE_LIST 1071

// Background-effects page (template 103).
#define IDC_OVERDUB_ENABLE 1014
#define IDC_BACKGROUND_LIST 1015
#define IDC_EFFECTS_ENABLE 1021
#define IDC_EFFECT_GAIN_LIST 1022
#define IDC_EFFECT_GAIN_LABEL 1023
#define IDC_EFFECT_UP_LIST 1024
#define IDC_EFFECT_UP_LABEL 1025
#define IDC_EFFECT_DOWN_LIST 1026
#define IDC_EFFECT_DOWN_LABEL 1027
#define IDC_EFFECT_LEFT_LIST 1028
#define IDC_EFFECT_LEFT_LABEL 1029
#define IDC_EFFECT_RIGHT_LIST 1030
#define IDC_EFFECT_RIGHT_LABEL 1031
#define IDC_BACKGROUND_GAIN_LIST 1032
#define IDC_BACKGROUND_GAIN_LABEL 1033
#define IDC_BACKGROUND_LABEL 1068

// Call-recording page (template 1049).
#define IDC_RECORDING_ACTIVATE 1051
#define IDC_RECORDING_STORAGE_LABEL 1064

// Phone settings page (templates 8005 and 8006).
#define IDC_PHONE_AUTO_ANSWER 8000
#define IDC_PHONE_DELAY_LIST 8001
#define IDC_PHONE_SCREEN_OFF 8004
#define IDC_PHONE_AFTER_LABEL 8007
#define IDC_PHONE_SECONDS_LABEL 8008
#define IDC_PHONE_VIBRATE 8012

// Sound recorders (templates 106 and 1104).
#define IDC_RECORDER_NAME_LABEL 1064
#define IDC_RECORDER_ELAPSED_LABEL 1066
#define IDC_RECORDER_PLAY 3000
#define IDC_RECORDER_STOP 3001
#define IDC_RECORDER_RECORD 3002
#define IDC_RECORDER_PROGRESS 3003
#define IDC_RECORDER_NAME 3004
#define IDC_RECORDER_ELAPSED 3006

// The recorder buttons' glyph strips (rewind, fast forward, play, stop, record; 48 x 32 each):
// in colour, greyed, and their common two-colour mask.
#define IDB_RECORDER_GLYPHS 3030
#define IDB_RECORDER_GLYPHS_GREYED 3031
#define IDB_RECORDER_GLYPHS_MASK 3032

// Titles loaded at library load.
#define IDS_TITLE_ANSWERING 1072
#define IDS_TITLE_OVERDUB 1073
#define IDS_TITLE_RECORDING 1074
#define IDS_TITLE_CAPTION 1076
#define IDS_TITLE_APPLET 1077
#define IDS_TITLE_GREETING 1078
#define IDS_TITLE_GREETING_SHEET 1079
#define IDS_TITLE_PHONE 8009

// Folders below the documents folder or a storage card's root.
#define IDS_FOLDER_RECORDINGS_MAIN 1099
#define IDS_FOLDER_ANSWERING_MAIN 1100
#define IDS_FOLDER_SOUNDS 1101
#define IDS_FOLDER_RECORDINGS_CARD 1102
#define IDS_FOLDER_ANSWERING_CARD 1103
#define IDS_FOLDER_GREETINGS 9001

// The storage list's items.
#define IDS_STORAGE_MAIN 5000
#define IDS_STORAGE_CARD 5001

// Answering-machine page lists: record times 6001..6005, answer delays 6051..6053, greetings.
#define IDS_RECORD_TIME_FIRST 6001
#define IDS_ACTIVE_TIME_FIRST 6051
#define IDS_GREETING_BUILT_IN 6070
#define IDS_GREETING_USER 6071

// Background-effects page lists: background sounds 1087..1097, effects 1107..1116, and the item
// that opens the sound recorder.
#define IDS_BACKGROUND_FIRST 1087
#define IDS_SOUND_USER_CHOICE 1098
#define IDS_EFFECT_FIRST 1107
