// How the console shows device log entries: one line each, stamped with the device time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/device_log.h"

namespace tovarin::emulator::console {

// "[   12.500]": device milliseconds as seconds, right-aligned.
std::string FormatDeviceTime(uint64_t tick_ms);

// The lines of a trace write without their line ends ("AutoAns 1\r\n" gives "AutoAns 1"); a
// write of several lines gives each, and an empty write one empty line.
std::vector<std::wstring> TraceTextLines(const std::wstring& text);

// What an entry says, without its time: "Ansley.dll: AutoAns 1", "ioctl WAV1: 0x001D000C ...",
// "key 0x72 down", "started \Windows\Oxbane.exe", "message 0x0111 wParam 0x2 to Dialog ...".
// A trace write of several lines is joined with " | ".
std::string DescribeEntry(const kernel::LogEntry& entry);

// The lines the console prints for an entry: time and description; a trace write of several
// lines gives one line each.
std::vector<std::string> PrintedLines(const kernel::LogEntry& entry);

}  // namespace tovarin::emulator::console
