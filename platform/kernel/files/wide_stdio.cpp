// _wfopen: the C runtime's wide open on a device path.
//
// The result is an ordinary host stream, so the C library's own fgetws, fputws, feof, rewind and
// fclose work on it. Text on the device's disk is UTF-8: the stream is given wide orientation
// while a UTF-8 locale is in force on the calling thread, which fixes the stream's conversion to
// UTF-8 for its whole life, whatever locale the process runs in later.
//
// A file opened for reading in text mode reads as the device's C runtime reads it: a carriage
// return before a line feed is dropped. Such a file is read from a translated private copy;
// files with plain line feeds are read directly.
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wchar.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <winbase.h>

#include "kernel/files/open_files.h"
#include "kernel/files/api_paths.h"
#include "kernel/files/attributes.h"
#include "kernel/files/host_errors.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

struct OpenMode {
    std::string host_mode;  // for fopen: "r", "w+", "ab", ... with "e" (close on exec)
    bool writes = false;
    bool text_read_only = false;
};

// The device runtime's mode: r, w or a, then any of + b t, the runtime's hint letters
// (c n N S R T D) and an optional ",ccs=..." encoding, which is UTF-8 here in any case.
std::optional<OpenMode> ParseMode(std::wstring_view mode) {
    size_t encoding = mode.find(L',');
    if (encoding != std::wstring_view::npos) {
        if (mode.substr(encoding).find(L"ccs=") == std::wstring_view::npos) {
            return std::nullopt;
        }
        mode = mode.substr(0, encoding);
    }
    while (!mode.empty() && mode.back() == L' ') {
        mode.remove_suffix(1);
    }
    if (mode.empty() || (mode[0] != L'r' && mode[0] != L'w' && mode[0] != L'a')) {
        return std::nullopt;
    }
    OpenMode parsed;
    parsed.host_mode = static_cast<char>(mode[0]);
    bool update = false;
    bool binary = false;
    for (wchar_t c : mode.substr(1)) {
        switch (c) {
            case L'+':
                update = true;
                break;
            case L'b':
                binary = true;
                break;
            case L't':
            case L'c':
            case L'n':
            case L'N':
            case L'S':
            case L'R':
            case L'T':
            case L'D':
                break;
            default:
                return std::nullopt;
        }
    }
    if (update) {
        parsed.host_mode += '+';
    }
    parsed.host_mode += 'e';
    parsed.writes = mode[0] != L'r' || update;
    parsed.text_read_only = mode[0] == L'r' && !update && !binary;
    return parsed;
}

locale_t Utf8Locale() {
    // Made once and kept for the life of the process (streams do not refer to it afterwards).
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t made = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0))) {
                return made;
            }
        }
        return static_cast<locale_t>(0);
    }();
    return locale;
}

void OrientWideUtf8(FILE* stream) {
    locale_t utf8 = Utf8Locale();
    if (!utf8) {
        fwide(stream, 1);  // no UTF-8 locale on this host: the thread's own conversion
        return;
    }
    locale_t previous = uselocale(utf8);
    fwide(stream, 1);
    uselocale(previous);
}

// The file's text with each CR LF made LF, in a private temporary stream; nullptr when the file
// has no CR LF (or cannot be read, which fopen then reports).
FILE* TranslatedCopy(const std::filesystem::path& host_path) {
    std::ifstream in(host_path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find("\r\n") == std::string::npos) {
        return nullptr;
    }
    std::string translated;
    translated.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            translated += text[i];
        }
    }
    FILE* copy = std::tmpfile();
    if (!copy) {
        return nullptr;
    }
    // Written past the stream, so that the stream takes no byte orientation before fwide.
    const int fd = fileno(copy);
    size_t written = 0;
    while (written < translated.size()) {
        ssize_t put = ::write(fd, translated.data() + written, translated.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            std::fclose(copy);
            return nullptr;
        }
        written += static_cast<size_t>(put);
    }
    ::lseek(fd, 0, SEEK_SET);
    return copy;
}

FILE* Fail(int error_number, DWORD error) {
    SetError(error);
    errno = error_number;
    return nullptr;
}

}  // namespace

extern "C" {

FILE* _wfopen(const wchar_t* filename, const wchar_t* mode) {
    if (!filename || !mode) {
        return Fail(EINVAL, ERROR_INVALID_PARAMETER);
    }
    std::optional<OpenMode> parsed = ParseMode(mode);
    if (!parsed) {
        return Fail(EINVAL, ERROR_INVALID_PARAMETER);
    }
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(filename, PathUse::Entry, &error);
    if (!host) {
        return Fail(error == ERROR_INVALID_NAME ? EINVAL : ENOENT, error);
    }
    // The runtime opens as CreateFileW does with sharing of reading and writing: a file that
    // device code or the loader holds without sharing is refused.
    OpenFiles& open_files = OpenFileTable();
    std::lock_guard guard(open_files.mutex());
    struct stat status {};
    if (::stat(host->c_str(), &status) == 0) {
        // A folder is no file to the device's runtime, and a read-only file takes no writes
        // whatever host user runs the emulator.
        if (S_ISDIR(status.st_mode) || (parsed->writes && IsReadOnly(status))) {
            return Fail(EACCES, ERROR_ACCESS_DENIED);
        }
        if (open_files.Conflicts({status.st_dev, status.st_ino},
                                 parsed->writes ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE)) {
            return Fail(EACCES, ERROR_SHARING_VIOLATION);
        }
    }
    FILE* stream = parsed->text_read_only ? TranslatedCopy(*host) : nullptr;
    if (!stream) {
        stream = std::fopen(host->c_str(), parsed->host_mode.c_str());
    }
    if (!stream) {
        const int failure = errno;
        return Fail(failure, Win32ErrorForPath(failure, *host, ERROR_ACCESS_DENIED));
    }
    OrientWideUtf8(stream);
    return stream;
}

}  // extern "C"
