// CopyFileW: the source is read through a handle that lets others read, the destination written
// through one that shares nothing, so that copying meets open files as the device's copy does.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include <winbase.h>

#include "kernel/files/api_paths.h"
#include "kernel/files/attributes.h"
#include "kernel/files/file_object.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

BOOL Fail(DWORD error) {
    SetError(error);
    return FALSE;
}

bool CopyContent(FileObject& source, FileObject& target, DWORD* error) {
    std::vector<uint8_t> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!source.Read(buffer.data(), static_cast<DWORD>(buffer.size()), &got, error)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        DWORD put = 0;
        if (!target.Write(buffer.data(), got, &put, error)) {
            return false;
        }
    }
}

// The copy keeps the source's last write time and read-only attribute, as the device's does.
void CopyTimesAndAttributes(const std::filesystem::path& from, const std::filesystem::path& to) {
    struct stat status {};
    if (::stat(from.c_str(), &status) != 0) {
        return;
    }
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ::utimensat(AT_FDCWD, to.c_str(), times, 0);
    if (IsReadOnly(status)) {
        SetReadOnly(to, true);
    }
}

}  // namespace

extern "C" {

BOOL WINAPI CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> from =
        HostPathForApi(lpExistingFileName, PathUse::Entry, &error);
    if (!from) {
        return Fail(error);
    }
    std::optional<std::filesystem::path> to = HostPathForApi(lpNewFileName, PathUse::Entry, &error);
    if (!to) {
        return Fail(error);
    }
    std::optional<OpenedFile> source =
        OpenHostFile(*from, {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0}, &error);
    if (!source) {
        return Fail(error);
    }
    const DWORD disposition = bFailIfExists ? CREATE_NEW : CREATE_ALWAYS;
    std::optional<OpenedFile> target =
        OpenHostFile(*to, {GENERIC_WRITE, 0, disposition, 0}, &error);
    if (!target) {
        return Fail(error);
    }
    const bool copied = CopyContent(*source->file, *target->file, &error);
    source.reset();
    target.reset();
    if (!copied) {
        ::unlink(to->c_str());  // no half copy is left behind
        return Fail(error);
    }
    CopyTimesAndAttributes(*from, *to);
    return TRUE;
}

}  // extern "C"
