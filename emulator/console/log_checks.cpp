#include "console/log_checks.h"

#include <algorithm>

#include "console/log_format.h"
#include "host/device_paths.h"

namespace tovarin::emulator::console {
namespace {

// A failed expectation shows at most this many of the entries it looked at, the latest ones.
constexpr size_t kMostEntriesShown = 12;

std::string Shown(const kernel::LogEntry& entry) {
    return FormatDeviceTime(entry.tick_ms) + " " + DescribeEntry(entry);
}

// Looks for an entry of kind Record that matches. The positive form holds when one does, and
// otherwise shows the entries of that kind; the negated form holds when none does, and
// otherwise shows the first that matched.
template <typename Record, typename Match>
CheckResult Look(const std::vector<kernel::LogEntry>& entries, bool negated, const char* kind,
                 Match match) {
    std::vector<const kernel::LogEntry*> of_kind;
    for (const kernel::LogEntry& entry : entries) {
        const auto* record = std::get_if<Record>(&entry.what);
        if (!record) {
            continue;
        }
        if (match(*record)) {
            if (negated) {
                return {false, {Shown(entry)}};
            }
            return {true, {}};
        }
        of_kind.push_back(&entry);
    }
    if (negated) {
        return {true, {}};
    }
    CheckResult result;
    if (of_kind.empty()) {
        result.found.push_back(std::string("no ") + kind + " since the mark");
        return result;
    }
    size_t first = of_kind.size() > kMostEntriesShown ? of_kind.size() - kMostEntriesShown : 0;
    if (first > 0) {
        result.found.push_back("... " + std::to_string(first) + " earlier " + kind);
    }
    for (size_t i = first; i < of_kind.size(); ++i) {
        result.found.push_back(Shown(*of_kind[i]));
    }
    return result;
}

std::wstring FileNameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

CheckResult CheckTrace(const std::vector<kernel::LogEntry>& entries,
                       const ExpectTraceCommand& expect) {
    return Look<kernel::TraceLine>(entries, expect.negated, "trace lines",
                                   [&](const kernel::TraceLine& line) {
                                       return line.text.find(expect.text) != std::wstring::npos;
                                   });
}

CheckResult CheckIoctl(const std::vector<kernel::LogEntry>& entries,
                       const ExpectIoctlCommand& expect) {
    return Look<kernel::IoctlRecord>(
        entries, expect.negated, "control calls", [&](const kernel::IoctlRecord& call) {
            if (!kernel::DeviceNamesEqual(call.device, expect.device)) {
                return false;
            }
            if (expect.code && call.code != *expect.code) {
                return false;
            }
            std::vector<uint32_t> words = call.InputWords();
            return words.size() >= expect.words.size() &&
                   std::equal(expect.words.begin(), expect.words.end(), words.begin());
        });
}

CheckResult CheckKey(const std::vector<kernel::LogEntry>& entries, const ExpectKeyCommand& expect) {
    return Look<kernel::KeyRecord>(
        entries, expect.negated, "key presses",
        [&](const kernel::KeyRecord& key) { return !key.up && key.vk == expect.vk; });
}

CheckResult CheckStarted(const std::vector<kernel::LogEntry>& entries,
                         const ExpectStartedCommand& expect) {
    // A name with a folder names the image's device path; a bare name its file name.
    bool whole_path = expect.name.find_first_of(L"\\/") != std::wstring::npos;
    return Look<kernel::StartedRecord>(
        entries, expect.negated, "programs started", [&](const kernel::StartedRecord& started) {
            return kernel::DeviceNamesEqual(whole_path ? started.image : FileNameOf(started.image),
                                            expect.name);
        });
}

CheckResult CheckMessage(const std::vector<kernel::LogEntry>& entries,
                         const ExpectMessageCommand& expect) {
    return Look<kernel::MessageRecord>(
        entries, expect.negated, "window messages", [&](const kernel::MessageRecord& message) {
            return kernel::DeviceNamesEqual(message.window_class, expect.window_class) &&
                   message.message == expect.message &&
                   (!expect.wparam || message.wparam == *expect.wparam);
        });
}

}  // namespace tovarin::emulator::console
