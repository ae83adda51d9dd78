// The service frame: what the three service libraries share.
//
// A service library exports the eight stream-interface entry points of the device's service host
// under its prefix (XXX_Init ... XXX_IOControl) and a DllMain. Its Init starts a worker thread that
// waits for the service's named events and rereads its settings from the registry; a worker that
// follows the phone arms a change notification on the phone's "Status" value.
#pragma once

#include <windows.h>
#include <regext.h>

// Marks a function that the service host or the loader finds by name.
#define SERVICE_EXPORT extern "C" __declspec(dllexport)

// The five entry points that no service gives a meaning: Open, Close, Read, Write and Seek return
// `result`; IOControl handles no code and returns 1.
#define SERVICE_STREAM_STUBS(prefix, result)                                                   \
    SERVICE_EXPORT DWORD prefix##_Open(DWORD, DWORD, DWORD) {                                  \
        return (result);                                                                       \
    }                                                                                          \
    SERVICE_EXPORT BOOL prefix##_Close(DWORD) {                                                \
        return (result);                                                                       \
    }                                                                                          \
    SERVICE_EXPORT DWORD prefix##_Read(DWORD, LPVOID, DWORD) {                                 \
        return (result);                                                                       \
    }                                                                                          \
    SERVICE_EXPORT DWORD prefix##_Write(DWORD, LPCVOID, DWORD) {                               \
        return (result);                                                                       \
    }                                                                                          \
    SERVICE_EXPORT DWORD prefix##_Seek(DWORD, long, WORD) {                                    \
        return (result);                                                                       \
    }                                                                                          \
    SERVICE_EXPORT BOOL prefix##_IOControl(DWORD, DWORD, PBYTE, DWORD, PBYTE, DWORD, PDWORD) { \
        return 1;                                                                              \
    }

// Creates (or opens, unchanged, when it exists) a named manual-reset event that starts set.
HANDLE ServiceCreateEvent(LPCWSTR name);

// Starts a thread with the default stack and returns its handle (NULL when it cannot start).
HANDLE ServiceStartThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter);

// Starts a thread whose handle the caller does not need. Returns FALSE when it cannot start.
BOOL ServiceStartDetachedThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter);

// Finds the phone's call dialog among the top-level windows: a window of class "Dialog" titled
// `title` with a child whose text is `childText`. Returns NULL when no window matches.
HWND ServiceFindCallDialog(LPCWSTR title, LPCWSTR childText);

// Arms the notification on the phone's "Status": the callback runs whenever "Status" changes to a
// value other than 0. Leaves *notify NULL when arming fails, so that the next pass tries again.
void ServiceArmStatusNotification(REGISTRYNOTIFYCALLBACK callback, HREGNOTIFY* notify);

// Closes an armed notification and marks it disarmed.
void ServiceDisarmNotification(HREGNOTIFY* notify);
