// What the console reads of the device's present state: registry values, files, windows, message
// boxes and named events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/commands.h"

namespace tovarin::emulator::console {

struct RegReading {
    enum class Kind { Missing, Dword, Sz, Other };
    Kind kind = Kind::Missing;
    uint32_t dword = 0;
    std::wstring sz;
    uint32_t type = 0;  // Other: the value's type
};

RegReading ReadRegValue(const RegValueRef& ref);
// As `reg get` prints it: dword:N (decimal), sz:"TEXT", missing, or type:N for other types.
std::string FormatReading(const RegReading& reading);

// The device paths of the files and folders that match a device path whose components may hold
// * and ?, as the device's file calls list them (what device code cannot see is not there).
// Empty when nothing matches.
std::vector<std::wstring> MatchingFiles(const std::wstring& pattern);

// Every top-level window as "class "title"" with "(hidden)" when it is not visible.
std::vector<std::string> DescribeTopLevelWindows();
// Whether a shown top-level window has this class and title: a hidden window is one the user
// does not see (the phone's call dialog between calls).
bool TopLevelWindowExists(const std::wstring& window_class, const std::wstring& title);

}  // namespace tovarin::emulator::console
