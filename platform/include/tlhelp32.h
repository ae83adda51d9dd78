// Tool help: a snapshot of the device's processes.
#pragma once

#include <windef.h>

#define TH32CS_SNAPHEAPLIST 0x00000001
#define TH32CS_SNAPPROCESS 0x00000002
#define TH32CS_SNAPTHREAD 0x00000004
#define TH32CS_SNAPMODULE 0x00000008

typedef struct tagPROCESSENTRY32W {
    DWORD dwSize;  // the caller sets sizeof(PROCESSENTRY32W)
    DWORD cntUsage;
    DWORD th32ProcessID;
    DWORD th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    WCHAR szExeFile[MAX_PATH];  // the image's file name
    DWORD th32MemoryBase;
    DWORD th32AccessKey;
} PROCESSENTRY32W, *PPROCESSENTRY32W, *LPPROCESSENTRY32W;
typedef PROCESSENTRY32W PROCESSENTRY32;
typedef LPPROCESSENTRY32W LPPROCESSENTRY32;

#ifndef RC_INVOKED

TOVARIN_BEGIN_C

// Only TH32CS_SNAPPROCESS is kept; other kinds give an empty part of the snapshot.
WINBASEAPI HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
WINBASEAPI BOOL WINAPI CloseToolhelp32Snapshot(HANDLE hSnapshot);
WINBASEAPI BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);
WINBASEAPI BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);

TOVARIN_END_C

#define Process32First Process32FirstW
#define Process32Next Process32NextW

#endif  // RC_INVOKED
