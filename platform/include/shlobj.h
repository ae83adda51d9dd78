// The shell's special folders.
#pragma once

#include <windef.h>

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_CONTROLS 0x0003
#define CSIDL_PRINTERS 0x0004
#define CSIDL_PERSONAL 0x0005
#define CSIDL_FAVORITES 0x0006
#define CSIDL_STARTUP 0x0007
#define CSIDL_RECENT 0x0008
#define CSIDL_STARTMENU 0x000B
#define CSIDL_MYMUSIC 0x000D
#define CSIDL_MYVIDEO 0x000E
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_DRIVES 0x0011
#define CSIDL_FONTS 0x0014
#define CSIDL_APPDATA 0x001A
#define CSIDL_WINDOWS 0x0024
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027

#ifndef RC_INVOKED

TOVARIN_BEGIN_C

// Copies the device path of the folder (at most MAX_PATH characters with the terminator) into
// lpszPath. With fCreate the folder and its missing parents are made; without it a folder that
// does not exist fails with ERROR_PATH_NOT_FOUND. Virtual folders (CSIDL_CONTROLS, ...) fail
// with ERROR_INVALID_PARAMETER.
WINBASEAPI BOOL WINAPI SHGetSpecialFolderPath(HWND hwndOwner, LPWSTR lpszPath, int nFolder,
                                              BOOL fCreate);

TOVARIN_END_C

#endif  // RC_INVOKED
