// CreateFileW and the I/O calls on file handles.
#include <winbase.h>

#include "kernel/devices/driver_table.h"
#include "kernel/files/api_paths.h"
#include "kernel/files/file_object.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

std::shared_ptr<FileObject> FileOf(HANDLE handle) {
    std::shared_ptr<FileObject> file = Handles().LookupAs<FileObject>(handle);
    if (!file) {
        SetError(ERROR_INVALID_HANDLE);
    }
    return file;
}

HANDLE OpenPath(LPCWSTR lpFileName, const OpenRequest& request) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpFileName, PathUse::Entry, &error);
    if (!host || IsRootPath(AbsoluteDevicePath(lpFileName))) {
        SetError(host ? ERROR_ACCESS_DENIED : error);
        return INVALID_HANDLE_VALUE;
    }
    std::optional<OpenedFile> opened = OpenHostFile(*host, request, &error);
    if (!opened) {
        SetError(error);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = Handles().Insert(opened->file);
    if (!handle) {
        SetError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    const bool reports_existing =
        request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS;
    SetError(opened->existed && reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    (void)lpSecurityAttributes;  // the device has no file security
    (void)hTemplateFile;         // not supported by the device; ignored
    if (lpFileName) {
        if (std::optional<std::wstring> device = DeviceNameOf(lpFileName)) {
            return OpenDriver(*device, dwDesiredAccess);
        }
    }
    return OpenPath(lpFileName,
                    {dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes});
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    (void)lpOverlapped;  // no overlapped I/O on the device
    if (lpNumberOfBytesRead) {
        *lpNumberOfBytesRead = 0;
    }
    std::shared_ptr<FileObject> file = FileOf(hFile);
    if (!file) {
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToRead > 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    DWORD error = ERROR_SUCCESS;
    bool ok = file->Read(lpBuffer, nNumberOfBytesToRead, &done, &error);
    if (lpNumberOfBytesRead) {
        *lpNumberOfBytesRead = done;
    }
    if (!ok) {
        SetError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    (void)lpOverlapped;
    if (lpNumberOfBytesWritten) {
        *lpNumberOfBytesWritten = 0;
    }
    std::shared_ptr<FileObject> file = FileOf(hFile);
    if (!file) {
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToWrite > 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    DWORD error = ERROR_SUCCESS;
    bool ok = file->Write(lpBuffer, nNumberOfBytesToWrite, &done, &error);
    if (lpNumberOfBytesWritten) {
        *lpNumberOfBytesWritten = done;
    }
    if (!ok) {
        SetError(error);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
    std::shared_ptr<FileObject> file = FileOf(hFile);
    if (!file) {
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the distance is a signed 32-bit value; with one, the two parts make a
    // signed 64-bit distance.
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh) {
        distance = static_cast<int64_t>(
            (static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
            static_cast<uint32_t>(lDistanceToMove));
    }
    uint64_t before = 0;
    uint64_t position = 0;
    DWORD error = ERROR_SUCCESS;
    if (!file->Seek(0, FILE_CURRENT, &before, &error) ||
        !file->Seek(distance, dwMoveMethod, &position, &error)) {
        SetError(error);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh) {
        *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
    } else if (position > 0xFFFFFFFFu) {
        // The new pointer does not fit the return value: the move is refused.
        file->Seek(static_cast<int64_t>(before), FILE_BEGIN, &position, &error);
        SetError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // 0xFFFFFFFF is also a valid low part: the caller tells success by the last error.
    SetError(ERROR_SUCCESS);
    return static_cast<DWORD>(position & 0xFFFFFFFF);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    std::shared_ptr<FileObject> file = FileOf(hFile);
    if (!file) {
        return INVALID_FILE_SIZE;
    }
    uint64_t size = 0;
    DWORD error = ERROR_SUCCESS;
    if (!file->Size(&size, &error)) {
        SetError(error);
        return INVALID_FILE_SIZE;
    }
    if (lpFileSizeHigh) {
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    SetError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
    std::shared_ptr<FileObject> file = FileOf(hFile);
    if (!file) {
        return FALSE;
    }
    DWORD error = ERROR_SUCCESS;
    if (!file->Flush(&error)) {
        SetError(error);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
