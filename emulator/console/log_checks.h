// The expectations that look at the device log since the last mark: traces, control calls, keys,
// started programs and window messages.
#pragma once

#include <string>
#include <vector>

#include "console/commands.h"
#include "host/device_log.h"

namespace tovarin::emulator::console {

struct CheckResult {
    bool held = false;
    // When it did not hold: what the log shows instead, one line per entry (UTF-8).
    std::vector<std::string> found;
};

CheckResult CheckTrace(const std::vector<kernel::LogEntry>& entries,
                       const ExpectTraceCommand& expect);
CheckResult CheckIoctl(const std::vector<kernel::LogEntry>& entries,
                       const ExpectIoctlCommand& expect);
CheckResult CheckKey(const std::vector<kernel::LogEntry>& entries, const ExpectKeyCommand& expect);
CheckResult CheckStarted(const std::vector<kernel::LogEntry>& entries,
                         const ExpectStartedCommand& expect);
CheckResult CheckMessage(const std::vector<kernel::LogEntry>& entries,
                         const ExpectMessageCommand& expect);

}  // namespace tovarin::emulator::console
