// The device clock as the API shows it: tick count, system and local time.
#include <chrono>

#include <windows.h>

#include "host/device.h"

using namespace tovarin::kernel;

namespace {

// FILETIME counts 100 ns intervals since 1601-01-01; Unix time starts 11644473600 s later.
constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;

void ToSystemTime(int64_t unix_ms, LPSYSTEMTIME out) {
    using namespace std::chrono;
    sys_time<milliseconds> point{milliseconds(unix_ms)};
    auto day = floor<days>(point);
    year_month_day date{day};
    hh_mm_ss<milliseconds> clock{point - day};
    out->wYear = static_cast<WORD>(static_cast<int>(date.year()));
    out->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    out->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    out->wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
    out->wHour = static_cast<WORD>(clock.hours().count());
    out->wMinute = static_cast<WORD>(clock.minutes().count());
    out->wSecond = static_cast<WORD>(clock.seconds().count());
    out->wMilliseconds = static_cast<WORD>(clock.subseconds().count());
}

int64_t DeviceUnixMs() {
    Device& device = Device::Current();
    return device.BootUnixMs() + static_cast<int64_t>(device.NowMs());
}

}  // namespace

extern "C" {

DWORD WINAPI GetTickCount(void) {
    return static_cast<DWORD>(Device::Current().NowMs());
}

void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    ToSystemTime(DeviceUnixMs(), lpSystemTime);
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    int64_t offset_ms = int64_t{Device::Current().options().utc_offset_minutes} * 60 * 1000;
    ToSystemTime(DeviceUnixMs() + offset_ms, lpSystemTime);
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* lpst, LPFILETIME lpft) {
    using namespace std::chrono;
    if (!lpst || !lpft) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    year_month_day date{year{lpst->wYear}, month{lpst->wMonth}, day{lpst->wDay}};
    if (!date.ok() || lpst->wHour > 23 || lpst->wMinute > 59 || lpst->wSecond > 59 ||
        lpst->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t ms = duration_cast<milliseconds>(sys_days{date}.time_since_epoch()).count() +
                 ((lpst->wHour * 60 + lpst->wMinute) * 60 + lpst->wSecond) * 1000LL +
                 lpst->wMilliseconds;
    uint64_t ticks = static_cast<uint64_t>(ms * 10000 + kUnixEpochIn100ns);
    lpft->dwLowDateTime = static_cast<DWORD>(ticks);
    lpft->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpft, LPSYSTEMTIME lpst) {
    if (!lpft || !lpst) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t ticks = (uint64_t{lpft->dwHighDateTime} << 32) | lpft->dwLowDateTime;
    ToSystemTime((static_cast<int64_t>(ticks) - kUnixEpochIn100ns) / 10000, lpst);
    return TRUE;
}

}  // extern "C"
